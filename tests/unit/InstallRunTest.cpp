// Installations in-process: the copy engine stopped at chosen blocks and what the rollback leaves;
// the decisions of the installation and the uninstall, with a table of the player's answers and the
// copy's endings; with the program's windows, a quit in the middle of the copy, the sound option's way from the
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
#include "setup/Finishing.h"
#include "setup/Install.h"
#include "setup/ProgramsEntry.h"
#include "setup/SetupConfig.h"
#include "setup/SetupNames.h"
#include "setup/StartMenu.h"
#include "toolkit/Application.h"
#include "toolkit/Person.h"
#include "util/Cp932.h"
#include "util/Folders.h"
#include "util/Names.h"
#include "util/ProgramPath.h"
#include "util/Shell.h"

namespace {

using testsupport::Listing;
using testsupport::Wide;
using testsupport::WriteFileAt;
using Files = std::vector<std::pair<std::string, unsigned>>;
using Names = std::vector<std::string>;

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
        setup::startmenu::Remove(testsupport::Folder("SweepMenu"));
        setup::entry::Unregister(testsupport::Folder("SweepGame"));
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
        EXPECT_EQ(result.outcome.failure, block ? Failure::Stopped : Failure::CannotOpen);
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

// The player's answers and the copy's ending, as a flow meets them; what it was told, in order.
struct Script : setup::InstallSteps, setup::UninstallSteps {
    std::vector<std::optional<std::string>> destinations;  // one per showing of the dialog; nothing: Cancel
    bool overwrite = false;
    int stopAt = 0;                          // the copy stops before this block; 0: it runs to its end
    Failure ending = Failure::Stopped;       // how a stopped copy ends
    std::optional<setup::Choices> choices;   // the uninstall dialog's boxes; nothing: Cancel
    std::vector<std::string> entries;
    std::vector<std::string> told;           // notices and questions in order

    bool ChooseDestination(setup::Destination& chosen) override
    {
        told.push_back("dialog");
        if (destinations.empty() || !destinations.front()) return false;
        chosen = {*destinations.front(), setup::MakePlan(entries, ProgramFolder(), false, {}), 5000, false};
        destinations.erase(destinations.begin());
        return true;
    }
    bool ConfirmOverwrite(const std::string&) override { return told.push_back("overwrite?"), overwrite; }
    setup::CopyResult RunCopy(const setup::CopyTask& task) override
    {
        StopAt observer(stopAt ? stopAt : 1000);
        setup::CopyResult result = setup::Copy(task.job, observer);
        // The flow sees only how the copy ended: any other ending stands in for the stop.
        if (!result.outcome.Ok() && ending != Failure::Stopped) result.outcome = {ending, task.job.folder, 0};
        return result;
    }
    std::optional<setup::Choices> ChooseWhatToRemove() override { return choices; }
    void Tell(setup::Notice notice, const Result& detail) override
    {
        static const char* const kNames[] = {"cannot make", "cancelled", "shortcut failed", "record unreadable",
                                              "installed", "uninstalled", "files remain", "start menu removed"};
        told.push_back(kNames[static_cast<int>(notice)] + (detail.path.empty() ? "" : " " + FileNamePart(detail.path)));
    }
};

// Each row from the dialog to the last message: the folder it leaves (the player's files, marked
// "old", where there were), and whether the record, the list entry and the Start-menu folder are there.
TEST_F(InstallRun, EveryDecisionOfTheInstallationFromTheDialogToTheLastMessage)
{
    const std::vector<std::string> copied = {"big.dat", "game.exe", "last.dat", "readme.txt", "small.dat"};
    const std::vector<std::string> mixed = {"big.dat", "game.exe", "last.dat", "player.sav", "readme.txt", "small.dat"};
    const std::vector<std::string> players = {"big.dat", "player.sav", "readme.txt"};  // what was there
    const struct {
        const char* row;
        bool existing, blocked, overwrite;  // the player's folder is there; a file stands where it would be made
        int stopAt;
        Failure ending;
        const char* gameName;
        std::vector<std::string> told, left;  // left: the folder's names; none for no folder
        bool installed;
    } rows[] = {
        {"cancel in the dialog", false, false, false, 0, {}, "Sweep", {"dialog"}, {}, false},
        {"new folder", false, false, false, 0, {}, "Sweep", {"dialog", "installed"}, copied, true},
        {"existing, No", true, false, false, 0, {}, "Sweep", {"dialog", "overwrite?"}, players, false},
        {"existing, Yes", true, false, true, 0, {}, "Sweep", {"dialog", "overwrite?", "installed"}, mixed, true},
        {"cannot be made, then chosen again", false, true, false, 0, {}, "Sweep",
         {"dialog", "cannot make SweepGame", "dialog", "installed"}, copied, true},
        {"cancel at the first block", false, false, false, 1, Failure::Stopped, "Sweep",
         {"dialog", "cancelled"}, {}, false},
        {"cancel at the last block", true, false, true, 9, Failure::Stopped, "Sweep",
         {"dialog", "overwrite?", "cancelled"}, players, false},
        {"cannot open", true, false, true, 4, Failure::CannotOpen, "Sweep",
         {"dialog", "overwrite?", "cancelled SweepGame"}, players, false},
        {"cannot read", false, false, false, 6, Failure::CannotRead, "Sweep", {"dialog", "cancelled SweepGame"}, {}, false},
        {"cannot create", true, false, true, 2, Failure::CannotCreate, "Sweep",
         {"dialog", "overwrite?", "cancelled SweepGame"}, players, false},
        {"cannot write", false, false, false, 9, Failure::CannotWrite, "Sweep", {"dialog", "cancelled SweepGame"}, {}, false},
        {"no memory", true, false, true, 1, Failure::NoMemory, "Sweep",
         {"dialog", "overwrite?", "cancelled SweepGame"}, players, false},
        {"a shortcut that cannot be made", false, false, false, 0, {}, "CON",
         {"dialog", "shortcut failed .lnk", "installed"}, copied, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        testsupport::TempFolder parent("flow");
        ASSERT_TRUE(parent.Made());
        const std::string folder = parent.PathOf("New\\SweepGame");
        if (r.existing) {
            ASSERT_TRUE(::CreateDirectoryW(Wide(parent.PathOf("New")).c_str(), nullptr));
            ASSERT_TRUE(::CreateDirectoryW(Wide(folder).c_str(), nullptr));
            for (const std::string& name : players) WritePlayersFile(folder + "\\" + name);
        }
        Script script;
        script.entries = entries_;
        if (r.blocked) {
            parent.Write("Blocker", std::string("a file"));
            script.destinations.push_back(parent.PathOf("Blocker\\SweepGame"));
        }
        script.destinations.push_back(r.row == std::string("cancel in the dialog") ? std::nullopt
                                                                                   : std::optional<std::string>(folder));
        script.overwrite = r.overwrite;
        script.stopAt = r.stopAt;
        script.ending = r.ending;
        const setup::Game game{testsupport::Folder("SweepGame"), r.gameName, testsupport::Folder("SweepMenu"), "", "", "",
                               entries_};
        const auto installed = setup::Install(game, ProgramPath(), script);
        EXPECT_EQ(script.told, r.told);
        EXPECT_EQ(installed.has_value(), r.installed);
        EXPECT_EQ(Listing(folder), r.left);
        if (r.existing)
            for (const std::string name : {"player.sav", "readme.txt"}) {
                EXPECT_EQ(IsPlayersFile(folder + "\\" + name), !r.installed || name == "player.sav") << name;
            }
        if (!r.existing && !r.installed) {
            EXPECT_EQ(Listing(parent.Path()), (r.blocked ? Names{"Blocker"} : Names{}));
        }
        EXPECT_EQ(setup::record::Read(game.installDir).text, r.installed ? folder + "\\" : "");
        EXPECT_EQ(installed.value_or(""), r.installed ? folder + "\\" : "");
        std::string programs;
        ASSERT_TRUE(GetSpecialFolderPath(nullptr, programs, CSIDL_PROGRAMS, false));
        const auto menu = Listing(programs + "\\SweepMenu");
        EXPECT_EQ(menu.size(), r.installed ? (r.gameName == std::string("CON") ? 2u : 3u) : 0u);
        EXPECT_EQ(testsupport::Exists(*setup::entry::Folder(game.installDir) + "\\Setup.exe"), r.installed);

        // The uninstall of what was installed: Cancel first, then every box but the saves'.
        if (r.installed) {
            WriteFileAt(folder + "\\Save000.dat", "save");
            script.told.clear();
            EXPECT_FALSE(setup::Uninstall(game, *installed, script));
            script.choices = setup::Choices{true, true, false};
            EXPECT_TRUE(setup::Uninstall(game, *installed, script));
            EXPECT_EQ(script.told, std::vector<std::string>{"uninstalled"});
            EXPECT_EQ(Listing(folder), (r.existing ? Names{"Save000.dat", "player.sav"} : Names{"Save000.dat"}));
            EXPECT_EQ(setup::record::Read(game.installDir).text, "");
            EXPECT_FALSE(testsupport::Exists(programs + "\\SweepMenu"));
            EXPECT_FALSE(testsupport::Exists(*setup::entry::Folder(game.installDir)));
        }
        Forget();
    }
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
            [&] { counted = CopyForm->Work->totalKB; });
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
        const setup::CopyTask task{{to, setup::MakePlan(entries_, ProgramFolder(), false, {})}, c.size >> 10, "", ""};
        CopyForm->Work = &task;
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
