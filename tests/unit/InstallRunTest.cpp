// Installations in-process: the copy engine stopped at chosen blocks and what the rollback leaves;
// with the program's windows, a quit in the middle of the copy, the sound option's way from the
// dialog to the size and the copy, the destination the dialog accepts, the file bar at its edge.

#include <gtest/gtest.h>

#include <shlobj.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/MainForm.h"
#include "forms/CopyForm.h"
#include "forms/InstallForm.h"
#include "setup/CopyEngine.h"
#include "setup/InstallRecord.h"
#include "setup/Installation.h"
#include "setup/SetupConfig.h"
#include "setup/SetupNames.h"
#include "setup/StartMenu.h"
#include "toolkit/Application.h"
#include "toolkit/Person.h"
#include "util/Cp932.h"
#include "util/Folders.h"
#include "util/ProgramPath.h"
#include "util/Shell.h"

namespace {

using testsupport::Listing;
using testsupport::Wide;
using testsupport::WriteFileAt;
using Files = std::vector<std::pair<std::string, unsigned>>;

constexpr unsigned kBlock = 1024 * 1024;
// The disc's files and their copy blocks: 1, 1, 3, 1 and 3; 9 blocks in all.
const Files kFiles = {
    {"readme.txt", 10}, {"game.exe", 2000}, {"big.dat", 3000000}, {"small.dat", 5000}, {"last.dat", 2 * kBlock + 5}};

// Answers every question with Yes (OK where there is no question), noting the texts and titles.
struct Person : ScriptedPerson {
    std::vector<std::string> texts;
    std::vector<std::pair<std::string, UINT>> titles;  // with the style
    std::function<void()> onBox;
    int AnswerMessageBox(HWND, const std::string& text, const std::string& title, UINT style) override
    {
        texts.push_back(text);
        titles.emplace_back(title, style);
        if (onBox) onBox();
        return (text.find('\n') != std::string::npos) ? IDYES : IDOK;
    }
    std::optional<std::string> AnswerFolderBrowser(HWND, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
};

WNDPROC g_labelProcedure = nullptr;
// Runs as the copy window shows each file's name, before the file is opened.
std::function<void()> g_onFileName;

LRESULT CALLBACK WatchCopyLabel(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_SETTEXT && g_onFileName) g_onFileName();
    return ::CallWindowProcW(g_labelProcedure, window, message, wParam, lParam);
}

void WatchFileNames(std::function<void()> onFileName)
{
    g_onFileName = std::move(onFileName);
    g_labelProcedure = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(CopyForm->LbCopy.Handle(), GWLP_WNDPROC,
                                                                    reinterpret_cast<LONG_PTR>(WatchCopyLabel)));
}

std::string g_destination;

// The player's part in the destination dialog: the destination typed, the install button pressed.
void CALLBACK TypeDestination(HWND, UINT, UINT_PTR timer, DWORD) noexcept
{
    ::KillTimer(nullptr, timer);
    ::SetWindowTextW(InstallForm->EdInstall.Handle(), Wide(g_destination).c_str());
    ::PostMessageW(InstallForm->BtInstall.Handle(), BM_CLICK, 0, 0);
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

// The player's own file: its bytes, and a last-write time that no copy gives.
void WritePlayersFile(const std::string& path)
{
    WriteFileAt(path, "old" + path);
    const FileHandle file(::CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    const FILETIME time{0x2A5F0000, 0x01D2C5A1};
    ASSERT_TRUE(file && ::SetFileTime(file.Get(), nullptr, nullptr, &time));
}

bool IsPlayersFile(const std::string& path)
{
    const FileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME time{};
    return file && ::GetFileTime(file.Get(), nullptr, nullptr, &time) && time.dwLowDateTime == 0x2A5F0000 &&
           time.dwHighDateTime == 0x01D2C5A1 && Content(path) == ("old" + path).substr(0, 64);
}

void WriteSparse(const std::string& path, unsigned size)
{
    const FileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    LARGE_INTEGER end{};
    end.QuadPart = size;
    ASSERT_TRUE(file && ::SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file.Get()));
}

class InstallRun : public testing::Test {
protected:
    void SetUp() override
    {
        disc_ = ProgramFolder() + "sweep-disc";
        ASSERT_TRUE(::CreateDirectoryW(Wide(disc_).c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
        MakeDisc(kFiles);
        SetScriptedPerson(&person_);
        Forget();
    }
    void TearDown() override
    {
        SetScriptedPerson(nullptr);
        g_onFileName = nullptr;
        Forget();
        for (const std::string& name : Listing(disc_)) ::DeleteFileW(Wide(disc_ + "\\" + name).c_str());
        ::RemoveDirectoryW(Wide(disc_).c_str());
        ::DeleteFileW(Wide(setup::IniPathFor(ProgramPath())).c_str());
    }
    // The disc's files, each of its size (a large one sparse), listed in Setup.ini in order: all of
    // them, or those named in `listed`.
    void MakeDisc(const Files& files, const std::vector<std::string>& listed = {},
                  const std::string& installDir = "SweepGame")
    {
        std::string ini = "[Setup]\r\nGameName=Sweep\r\nInstallDir=" + installDir +
                          "\r\nShortCut=SweepMenu\r\n[Files]\r\n";
        entries_.clear();
        char fill = 'a';
        for (const auto& [name, size] : files) {
            if (listed.empty() || std::find(listed.begin(), listed.end(), name) != listed.end()) {
                entries_.push_back("sweep-disc\\" + name);
                ini += "File" + std::to_string(entries_.size()) + "=" + entries_.back() + "\r\n";
            }
            if (size > (64u << 20))
                WriteSparse(disc_ + "\\" + name, size);
            else
                WriteFileAt(disc_ + "\\" + name, std::string(size, ++fill));
        }
        WriteFileAt(setup::IniPathFor(ProgramPath()), ini + "Count=" + std::to_string(entries_.size()) + "\r\n");
    }
    // No record and no Start-menu folder of the sweep's game, whatever an earlier run left.
    static void Forget()
    {
        setup::record::Delete(testsupport::Folder("SweepGame"));
        setup::startmenu::Remove(nullptr, testsupport::Folder("SweepMenu"));
    }
    // One installation from the main menu's install button into `destination`, with the program's
    // windows; `prepare` runs once they exist, `onFirstFile` as the copy shows the first file's name.
    std::vector<std::string> Install(const std::string& destination, const std::function<void()>& prepare,
                                     std::function<void()> onFirstFile)
    {
        person_.texts.clear();
        person_.titles.clear();
        g_destination = destination;
        {
            testsupport::ProgramWindows windows;
            prepare();
            bool first = true;
            WatchFileNames([&] {
                if (first && onFirstFile) onFirstFile();
                first = false;
            });
            ::SetTimer(nullptr, 0, 0, TypeDestination);
            MainForm->BtInstallClick();
        }
        MSG quit;
        while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        return person_.texts;
    }

    Person person_;
    std::string disc_;
    std::vector<std::string> entries_;
};

// Stops the copy before its Nth block.
struct StopAt : setup::CopyObserver {
    explicit StopAt(int block) : stopAt(block) {}
    void ItemStarts(const setup::CopyItem&) override {}
    void FileSized(unsigned long long) override {}
    bool GoOn() override { return ++blocks < stopAt; }
    void Progress(unsigned long long, unsigned long long) override {}
    int stopAt;
    int blocks = 0;
};

TEST_F(InstallRun, EachRollbackLeavesWhatWasThereAndNothingElse)
{
    const setup::Plan plan = setup::MakePlan(entries_, ProgramFolder(), false, {});
    // Before the first block; in the middle of the large file; between files (the first block of the
    // file after it); on the last block; never, when a missing source ends the copy after a second
    // copy under a name that the copy has written (in other letter case).
    std::vector<std::string> missingLast = entries_;
    missingLast.push_back("sweep-disc\\..\\sweep-disc\\README.TXT");
    missingLast.push_back("sweep-disc\\missing.dat");
    const setup::Plan failing = setup::MakePlan(missingLast, ProgramFolder(), false, {});
    for (const int block : {1, 4, 6, 9, 0}) {
        SCOPED_TRACE("stopped at block " + std::to_string(block));
        // Two new levels in an empty folder of the player's, in a parent that holds a file of its own.
        testsupport::TempFolder parent("sweep");
        ASSERT_TRUE(parent.Made());
        parent.Write("keep.txt", std::string("kept"));
        ASSERT_TRUE(::CreateDirectoryW(Wide(parent.PathOf("Empty")).c_str(), nullptr));
        const std::string made = parent.PathOf("Empty\\New\\SweepGame");
        FolderLevels levels;
        ASSERT_TRUE(CreateFolderPath(made, levels));
        StopAt observer(block ? block : 100);
        setup::CopyResult result = setup::Copy({made, block ? plan : failing}, observer);
        EXPECT_EQ(result.end, block ? setup::CopyEnd::Stopped : setup::CopyEnd::CannotOpen);
        EXPECT_EQ(observer.blocks, block ? block : 10);
        setup::RollBack(result, levels);
        EXPECT_EQ(Listing(parent.Path()), (std::vector<std::string>{"Empty", "keep.txt"}));
        EXPECT_EQ(Listing(parent.PathOf("Empty")), std::vector<std::string>{});

        // An existing folder: the player's files of listed names are back as they were, those the copy
        // reached and those it did not; one named like a set-aside file is neither taken nor touched.
        const std::string existing = parent.PathOf("SweepGame");
        ASSERT_TRUE(::CreateDirectoryW(Wide(existing).c_str(), nullptr));
        const std::vector<std::string> left = {"big.dat", "last.dat", "player.sav", "readme.txt", "~setup1.tmp"};
        for (const std::string& name : left) WritePlayersFile(existing + "\\" + name);
        observer.blocks = 0;
        result = setup::Copy({existing, block ? plan : failing}, observer);
        setup::RollBack(result, {});
        EXPECT_EQ(Listing(existing), left);
        for (const std::string& name : left) EXPECT_TRUE(IsPlayersFile(existing + "\\" + name)) << name;
    }
}

// A destination that cannot be made (a file where a level would be) is told from one that exists:
// the player is told so under its path and chooses again; the installation into the existing folder
// that follows deletes the player's files it set aside once it has finished.
TEST_F(InstallRun, ADestinationThatCannotBeMadeIsChosenAgain)
{
    testsupport::TempFolder parent("blocked");
    ASSERT_TRUE(parent.Made());
    parent.Write("Blocker", std::string("a file"));
    const std::string blocked = parent.PathOf("Blocker\\SweepGame");
    const std::string chosen = parent.PathOf("SweepGame");
    ASSERT_TRUE(::CreateDirectoryW(Wide(chosen).c_str(), nullptr));
    WritePlayersFile(chosen + "\\readme.txt");
    WritePlayersFile(chosen + "\\player.sav");
    person_.onBox = [&] {
        g_destination = chosen;
        if (person_.texts.size() == 1) ::SetTimer(nullptr, 0, 0, TypeDestination);
    };
    const auto texts = Install(blocked, [] {}, nullptr);
    EXPECT_EQ(texts, (std::vector<std::string>{"フォルダが作成できません", "すでにフォルダが存在します\n上書きしますか？",
                                               "インストールしました"}));
    EXPECT_EQ(person_.titles.front(), std::make_pair(blocked, static_cast<UINT>(MB_OK | MB_ICONERROR)));
    EXPECT_EQ(Listing(parent.Path()), (std::vector<std::string>{"Blocker", "SweepGame"}));
    EXPECT_EQ(Listing(chosen), (std::vector<std::string>{"big.dat", "game.exe", "last.dat", "player.sav", "readme.txt",
                                                         "small.dat"}));
    EXPECT_EQ(Content(chosen + "\\readme.txt"), Content(disc_ + "\\readme.txt"));
}

// The program asked to end while it copies: the copy stops at its next block, the modal loop
// returns and the rollback runs, with no question asked.
TEST_F(InstallRun, QuittingMidCopyEndsTheCopyAndRollsBack)
{
    testsupport::TempFolder parent("quit");
    ASSERT_TRUE(parent.Made());
    parent.Write("keep.txt", std::string("kept"));
    const auto texts = Install(parent.PathOf("New\\SweepGame"), [] {}, [] { ::PostQuitMessage(0); });
    EXPECT_EQ(texts, std::vector<std::string>{"中止しました"});
    EXPECT_EQ(Listing(parent.Path()), std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(setup::record::Read(testsupport::Folder("SweepGame")).text, "");
}

// 非圧縮音声: the dialog's choice decides the file counted for a sound entry and the file copied.
TEST_F(InstallRun, TheUncompressedSoundOptionReachesTheSizeAndTheCopy)
{
    MakeDisc({{"other.bin", kBlock}, {"wav01.wav", 1}, {"wav01.dat", 3072}, {"wav012.dat", 7168}, {"wav012.wav", 2}},
             {"other.bin", "wav01.wav"});
    const struct {
        bool withSound, pcm;
        unsigned long long kb;
        const char* copied;  // the installed wav01.wav, or nothing
    } cases[] = {{true, false, 1024 + 3, "c"}, {true, true, 1024 + 7, "ff"}, {false, true, 1024, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.withSound) + std::to_string(c.pcm));
        testsupport::TempFolder to("pcm");
        ASSERT_TRUE(to.Made());
        unsigned long long counted = 0;
        const auto texts = Install(
            to.PathOf("SweepGame"),
            [&] {
                InstallForm->CbWithSound.SetChecked(c.withSound);
                InstallForm->RbVorbis.SetChecked(!c.pcm);
                InstallForm->RbPcm.SetChecked(c.pcm);
            },
            [&] { counted = CopyForm->Work.totalKB; });
        EXPECT_EQ(texts.back(), "インストールしました");
        EXPECT_EQ(counted, c.kb);
        EXPECT_EQ(Content(to.PathOf("SweepGame\\wav01.wav")), c.copied ? c.copied : "(none)");
        EXPECT_EQ(Content(to.PathOf("SweepGame\\other.bin")).size(), 64u);
        Forget();
    }
}

// The destination that closes the dialog ends in the game's folder name, letter case included, and
// is a folder the uninstall may remove: never relative, a drive root or a known folder.
TEST_F(InstallRun, TheDestinationIsTheGamesOwnFolder)
{
    wchar_t windowsFolder[MAX_PATH] = {};
    ASSERT_GT(::GetWindowsDirectoryW(windowsFolder, MAX_PATH), 0u);
    const std::string windows = cp932::FromWideLossy(windowsFolder);
    const char* const kUnusable = "このフォルダはインストール先に指定できません";
    const struct {
        std::string installDir, typed, after;
        const char* message;  // none when the dialog closes with OK
    } cases[] = {
        {"SweepGame", "C:\\Games\\sweepgame", "C:\\Games\\sweepgame\\SweepGame", "少なくともゲーム名のフォルダは作られます"},
        {"SweepGame", "C:\\Games\\SweepGame", "C:\\Games\\SweepGame", nullptr},
        {"SweepGame", "C:SweepGame", "C:SweepGame", kUnusable},  // relative to the drive's current folder
        {windows.substr(3), windows, windows, kUnusable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        MakeDisc(kFiles, {}, c.installDir);
        testsupport::ProgramWindows windows;
        person_.texts.clear();
        InstallForm->InstallDir = testsupport::Folder(c.installDir);
        InstallForm->Entries = entries_;
        InstallForm->SetModalResult(toolkit::kModalNone);
        InstallForm->EdInstall.SetText(c.typed);
        InstallForm->BtInstallClick();
        EXPECT_EQ(InstallForm->EdInstall.Text(), c.after);
        EXPECT_EQ(person_.texts, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_EQ(InstallForm->ModalResult(), c.message ? toolkit::kModalNone : toolkit::kModalOk);
    }
}

// A file bar whose count just fits its 32-bit range, and one just past it, both end full.
TEST_F(InstallRun, TheFileBarEndsFullAtTheEdgeOfItsRange)
{
    const char* drive = std::getenv("SETUP_TMPFS_DRIVE");
    if (!drive || !*drive) GTEST_SKIP() << "SETUP_TMPFS_DRIVE is not set";
    const std::string to = std::string(drive) + "\\SweepGame";
    ASSERT_TRUE(::CreateDirectoryW(Wide(to).c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
    const struct {
        const char* name;
        unsigned size;
        int shown;  // counted in bytes, or in MiB past the range
    } cases[] = {{"edge.bin", 0x7FFFFFFFu, 0x7FFFFFFF}, {"past.bin", 0x80000000u, 2048}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MakeDisc({{c.name, c.size}});
        testsupport::ProgramWindows windows;
        CopyForm->Work = {{to, setup::MakePlan(entries_, ProgramFolder(), false, {})}, c.size >> 10, "", ""};
        EXPECT_EQ(CopyForm->ShowModal(), toolkit::kModalOk);
        const HWND bar = CopyForm->PbCopy.Handle();
        EXPECT_EQ(::SendMessageW(bar, PBM_GETRANGE, FALSE, 0), c.shown);
        EXPECT_EQ(::SendMessageW(bar, PBM_GETPOS, 0, 0), c.shown);
        ::DeleteFileW(Wide(to + "\\" + c.name).c_str());
        ::DeleteFileW(Wide(disc_ + "\\" + c.name).c_str());
    }
    ::RemoveDirectoryW(Wide(to).c_str());
}

}  // namespace
