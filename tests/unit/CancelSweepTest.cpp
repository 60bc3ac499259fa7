// An installation cancelled at chosen blocks of the copy, through the cancel button and the person's
// Yes, and what its rollback leaves: nothing the run created, everything that was there before.

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/MainForm.h"
#include "app/SetupConfig.h"
#include "install/CopyForm.h"
#include "install/InstallForm.h"
#include "install/Installation.h"
#include "toolkit/Application.h"
#include "toolkit/Registry.h"
#include "uninstall/UninstForm.h"
#include "util/Cp932.h"
#include "util/Person.h"
#include "util/ProgramPath.h"
#include "util/Shell.h"

namespace {

using testsupport::Exists;
using testsupport::Wide;

constexpr char kCancelQuestion[] = "本当に中止してもよろしいですか？";
constexpr unsigned kBlock = 1024 * 1024;
// The disc's files and their copy blocks: 1, 1, 3, 1 and 3; 9 blocks in all.
const std::pair<const char*, unsigned> kFiles[] = {
    {"readme.txt", 10}, {"game.exe", 2000}, {"big.dat", 3000000}, {"small.dat", 5000}, {"last.dat", 2 * kBlock + 5}};

// What a click on the copy window's cancel button sends its window.
void ClickCancel()
{
    const HWND button = CopyForm->BtCancel.Handle();
    ::PostMessageW(CopyForm->Handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
}

// Answers every question with Yes, and the cancel question with No until the chosen block: each No
// clicks the cancel button again, so that the question comes back at the next block.
struct Person : ScriptedPerson {
    int yesAtBlock = 0;
    int block = 0;
    std::vector<std::string> texts;
    int AnswerMessageBox(HWND, const std::string& text, const std::string&, UINT) override
    {
        texts.push_back(text);
        if (text != kCancelQuestion) return (text.find('\n') != std::string::npos) ? IDYES : IDOK;
        if (++block == yesAtBlock) return IDYES;
        ClickCancel();
        return IDNO;
    }
    std::optional<std::string> AnswerFolderBrowser(HWND, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
};

std::string g_destination;

WNDPROC g_labelProcedure = nullptr;
bool g_firstClickDone = false;

// The first cancel click comes as the copy shows the first file's name, so that the copy finds it
// at its first block.
LRESULT CALLBACK WatchCopyLabel(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_SETTEXT && !g_firstClickDone) {
        g_firstClickDone = true;
        ClickCancel();
    }
    return ::CallWindowProcW(g_labelProcedure, window, message, wParam, lParam);
}

// The player's part in the destination dialog: the destination typed, the install button pressed.
void CALLBACK TypeDestination(HWND, UINT, UINT_PTR timer, DWORD) noexcept
{
    ::KillTimer(nullptr, timer);
    ::SetWindowTextW(InstallForm->EdInstall.Handle(), Wide(g_destination).c_str());
    ::PostMessageW(InstallForm->BtInstall.Handle(), BM_CLICK, 0, 0);
}

std::vector<std::string> Listing(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(Wide(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(cp932::FromWideLossy(name));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Content(const std::string& path)
{
    const FileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes(64, '\0');
    DWORD got = 0;
    if (!file || !::ReadFile(file.Get(), bytes.data(), 64, &got, nullptr)) return "(none)";
    bytes.resize(got);
    return bytes;
}

class CancelSweep : public testing::Test {
protected:
    void SetUp() override
    {
        disc_ = ProgramFolder() + "sweep-disc";
        ASSERT_TRUE(::CreateDirectoryW(Wide(disc_).c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
        std::string ini = "[Setup]\r\nGameName=Sweep\r\nInstallDir=SweepGame\r\nShortCut=SweepMenu\r\n[Files]\r\nCount=5\r\n";
        int n = 0;
        for (const auto& [name, size] : kFiles) {
            ini += "File" + std::to_string(++n) + "=sweep-disc\\" + name + "\r\n";
            Write(disc_ + "\\" + name, std::string(size, static_cast<char>('a' + n)));
        }
        Write(IniPathFor(ProgramPath()), ini);
        SetScriptedPerson(&person_);
        Forget();
    }
    void TearDown() override
    {
        SetScriptedPerson(nullptr);
        Forget();
        for (const auto& file : kFiles) ::DeleteFileW(Wide(disc_ + "\\" + file.first).c_str());
        ::RemoveDirectoryW(Wide(disc_).c_str());
        ::DeleteFileW(Wide(IniPathFor(ProgramPath())).c_str());
    }
    // No record and no Start-menu folder of the sweep's game, whatever an earlier run left.
    static void Forget()
    {
        toolkit::Registry registry(HKEY_CURRENT_USER);
        (void)registry.DeleteKey("Software\\SweepGame");
        std::string programs;
        if (!GetSpecialFolderPath(nullptr, programs, CSIDL_PROGRAMS, false)) return;
        for (const std::string& name : Listing(programs + "\\SweepMenu"))
            ::DeleteFileW(Wide(programs + "\\SweepMenu\\" + name).c_str());
        ::RemoveDirectoryW(Wide(programs + "\\SweepMenu").c_str());
    }
    static void Write(const std::string& path, const std::string& bytes)
    {
        const FileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(file && ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    }
    // One installation into `destination`, cancelled at `block`; the messages shown.
    std::vector<std::string> InstallCancelledAt(const std::string& destination, int block)
    {
        person_.texts.clear();
        person_.block = 0;
        person_.yesAtBlock = block;
        g_destination = destination;
        {
            testsupport::ProgramWindows windows;
            g_firstClickDone = false;
            g_labelProcedure = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
                CopyForm->LbCopy.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchCopyLabel)));
            ::SetTimer(nullptr, 0, 0, TypeDestination);
            install::RunInstallation(*MainForm);
        }
        return person_.texts;
    }

    Person person_;
    std::string disc_;
};

TEST_F(CancelSweep, EachRollbackLeavesWhatWasThereAndNothingElse)
{
    std::string programs;
    ASSERT_TRUE(GetSpecialFolderPath(nullptr, programs, CSIDL_PROGRAMS, false));
    // Before the first block; in the middle of the large file; between files (the first block of the
    // file after it); on the last block.
    for (const int block : {1, 4, 6, 9}) {
        SCOPED_TRACE("cancelled at block " + std::to_string(block));
        // A new folder two levels deep, in a parent that holds a file of its own.
        testsupport::TempFolder parent("sweep");
        ASSERT_TRUE(parent.Made());
        parent.Write("keep.txt", std::string("kept"));
        auto texts = InstallCancelledAt(parent.PathOf("New\\SweepGame"), block);
        EXPECT_EQ(std::count(texts.begin(), texts.end(), kCancelQuestion), block);
        EXPECT_EQ(texts.back(), "中止しました");
        EXPECT_EQ(Listing(parent.Path()), std::vector<std::string>{"keep.txt"});

        // An existing folder: the player's file stays, and so does a file of a listed name until the
        // copy reaches it.
        const std::string existing = parent.PathOf("SweepGame");
        ASSERT_TRUE(::CreateDirectoryW(Wide(existing).c_str(), nullptr));
        Write(existing + "\\player.sav", "saved");
        Write(existing + "\\last.dat", "old");
        texts = InstallCancelledAt(existing, block);
        EXPECT_EQ(texts.front(), "すでにフォルダが存在します\n上書きしますか？");
        const bool lastReached = block >= 7;
        const std::vector<std::string> left =
            lastReached ? std::vector<std::string>{"player.sav"} : std::vector<std::string>{"last.dat", "player.sav"};
        EXPECT_EQ(Listing(existing), left);
        EXPECT_EQ(Content(existing + "\\player.sav"), "saved");
        if (!lastReached) {
            EXPECT_EQ(Content(existing + "\\last.dat"), "old");
        }

        toolkit::Registry registry(HKEY_CURRENT_USER);
        EXPECT_FALSE(registry.OpenKeyReadOnly("Software\\SweepGame"));
        EXPECT_FALSE(Exists(programs + "\\SweepMenu"));
    }
}

}  // namespace
