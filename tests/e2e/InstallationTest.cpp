// A whole installation from the main menu's install button: the copy, the Start-menu shortcuts, the
// install record and the refreshed menu; an existing destination; the rollback, a cancelled overwrite
// among them; a Japanese folder name; shortcut failures.

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "MenuScenario.h"
#include "driver/Driver.h"
#include "util/Cp932.h"

namespace {

using namespace e2e::menu;

constexpr const char* kShortcutFailed = "ショートカットの作成に失敗しました";

std::wstring Wide(const std::string& path) { return cp932::ToWideLossy(path); }

std::string ReadAll(const std::string& path)
{
    FileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string text(4096, '\0');
    DWORD got = 0;
    if (!file || !::ReadFile(file.Get(), text.data(), 4096, &got, nullptr)) return "(unreadable)";
    text.resize(got);
    return text;
}

void WriteText(const std::string& path, const std::string& text)
{
    FileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file && ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
}

std::string Programs() { return e2e::SpecialFolder(CSIDL_PROGRAMS); }

// A fresh scratch folder under build/e2e-install, and a machine without the game.
std::string Scratch(const std::string& name)
{
    ClearRecord();
    e2e::RemoveTree(Programs() + "\\見本ゲーム");
    e2e::RemoveTree(Programs() + "\\見本シリーズ");
    const std::string folder = e2e::BuildFolder() + "\\e2e-install\\" + name;
    e2e::RemoveTree(folder);
    return folder;
}

// A value of the game's entry in Windows' list of installed programs, as text (a number in decimal).
std::optional<std::wstring> ListEntry(const wchar_t* name)
{
    RegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MihonGame", 0,
                        KEY_READ, key.Put()) != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t data[512] = {};
    DWORD type = 0;
    DWORD size = sizeof data - sizeof(wchar_t);
    if (::RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type == REG_DWORD) {
        DWORD number = 0;
        std::memcpy(&number, data, sizeof number);
        return std::to_wstring(number);
    }
    return type == REG_SZ ? std::optional<std::wstring>(data) : std::nullopt;
}

// The one window of that class and caption on the screen, whichever process shows it.
e2e::Window WaitAnyWindow(const std::string& caption, const std::string& cls)
{
    e2e::WaitUntil([&] { return e2e::FindWindows(caption, cls).size() == 1; }, caption);
    return e2e::FindWindows(caption, cls).front();
}

struct Run {
    e2e::Process setup;
    e2e::Window menu;

    // Install button, destination, start: the dialog closes and the flow goes on.
    void Install(const std::string& destination) const
    {
        menu.Click(e2e::menu::Install);
        const auto dialog = setup.WaitWindow("インストール先の指定", "TInstallForm");
        dialog.Child("Edit").SetText(destination);
        dialog.Click("インストールの開始");
        dialog.WaitGone();
    }
    e2e::MsgBox Box(const std::string& text) const
    {
        auto box = setup.WaitMessageBox("");
        EXPECT_EQ(box.Text(), text);
        return box;
    }
    void Quit() const
    {
        menu.Click(Exit);
        EXPECT_EQ(setup.WaitExit(), 0u);
    }
};

Run Start(const std::string& disc)
{
    auto setup = StartFromDisc(disc);
    auto menu = setup.WaitWindow("インストーラ", "TMainForm");
    return Run{std::move(setup), menu};
}

struct Completed {
    const char* disc;
    const char* shortCut;
    std::vector<std::pair<std::string, std::string>> links;  // link name, target's file name
    std::vector<std::string> copied;
};

TEST(Installation, CompletesWithShortcutsRecordAndRefreshedMenu)
{
    const std::vector<std::string> all{"demo.avi", "game.exe", "game_gdi.exe", "bigdata.dat", "graphic.dat",
                                       "script.dat", "system.dat", "wavbgm.dat", "wavse.wav", "wavvoice.dat",
                                       "お読み下さい.txt", "アンインストールについて.txt"};
    const Completed cases[] = {
        {"base", "見本ゲーム",
         {{"お読み下さい.lnk", "お読み下さい.txt"}, {"アンインストールについて.lnk", "アンインストールについて.txt"},
          {"見本ゲーム (GDI版).lnk", "game_gdi.exe"}, {"見本ゲーム.lnk", "game.exe"}},
         all},
        // Without a movie the game is File2; without ShortCut_GDI three links; the game's link is named
        // after GameName inside ShortCut.
        {"complete_nogdi", "見本シリーズ",
         {{"お読み下さい.lnk", "お読み下さい.txt"}, {"アンインストールについて.lnk", "アンインストールについて.txt"},
          {"見本ゲーム.lnk", "game.exe"}},
         std::vector<std::string>(all.begin() + 1, all.end())},
    };
    for (Completed c : cases) {
        SCOPED_TRACE(c.disc);
        std::sort(c.copied.begin(), c.copied.end());
        // Two new levels: created without a question.
        const std::string destination = Scratch(c.disc) + "\\New\\MihonGame";
        const auto run = Start(c.disc);
        run.Install(destination);
        auto done = run.Box("インストールしました");
        EXPECT_EQ(done.GetIcon(), e2e::Icon::Information);
        done.Press(IDOK);

        EXPECT_EQ(e2e::FilesIn(destination), c.copied);
        const std::string folder = Programs() + "\\" + c.shortCut;
        std::vector<std::string> names;
        for (const auto& link : c.links) names.push_back(link.first);
        EXPECT_EQ(e2e::FilesIn(folder), names);
        for (const auto& [name, target] : c.links) {
            const auto link = e2e::ReadShortcut(folder + "\\" + name);
            ASSERT_TRUE(link) << name;
            EXPECT_EQ(link->target, destination + "\\" + target) << name;
            EXPECT_EQ(link->workingFolder, destination) << name;
            EXPECT_EQ(link->showCommand, 0) << name;
            EXPECT_EQ(link->arguments + link->description, "") << name;
        }
        EXPECT_EQ(e2e::InstallRecord::Read(kInstallDir), destination + "\\");
        Check(run.menu, {Exec, true, true});
        Check(run.menu, {e2e::menu::Install, true, false});
        Check(run.menu, {Uninstall, true, true});
        e2e::WaitUntil([&] { return run.menu.Button(Exec).Focused(); }, "the focus on the start button");
        run.Quit();
    }
    Scratch("base");
    Scratch("complete_nogdi");
}

TEST(Installation, AnExistingDestinationIsAskedAbout)
{
    const std::string destination = Scratch("existing") + "\\MihonGame";
    ASSERT_TRUE(e2e::MakeFolders(destination));
    WriteText(destination + "\\player.sav", "the player's own");
    const auto run = Start("base");
    run.Install(destination);
    auto question = run.Box("すでにフォルダが存在します\n上書きしますか？");
    EXPECT_EQ(question.GetIcon(), e2e::Icon::Question);
    EXPECT_EQ(question.ButtonIds(), (std::vector<int>{IDYES, IDNO}));
    EXPECT_TRUE(question.Buttons().at(0).Focused()) << "Yes is the default";
    question.Press(IDNO);
    // No stops without a word: nothing copied, nothing recorded, the menu as it was.
    e2e::WaitUntil([&] { return run.menu.Enabled(); }, "the main menu enabled again");
    EXPECT_TRUE(e2e::FindWindows("", "#32770", run.setup.Id()).empty());
    EXPECT_EQ(e2e::FilesIn(destination), std::vector<std::string>{"player.sav"});
    EXPECT_FALSE(e2e::InstallRecord::Read(kInstallDir));
    Check(run.menu, {e2e::menu::Install, true, true});

    run.Install(destination);
    run.Box("すでにフォルダが存在します\n上書きしますか？").Press(IDYES);
    run.Box("インストールしました").Press(IDOK);
    EXPECT_EQ(ReadAll(destination + "\\player.sav"), "the player's own");
    EXPECT_EQ(e2e::FilesIn(destination).size(), 13u);
    EXPECT_EQ(e2e::InstallRecord::Read(kInstallDir), destination + "\\");
    run.Quit();
    Scratch("existing");
}

TEST(Installation, AFailedCopyIsRolledBackToWhatWasThere)
{
    // An existing destination: a folder stands where game_gdi.exe (File4) would go, and File5 is a
    // file of the player's that the copy never reaches.
    const std::string destination = Scratch("failed") + "\\MihonGame";
    ASSERT_TRUE(e2e::MakeFolders(destination + "\\game_gdi.exe"));
    WriteText(destination + "\\アンインストールについて.txt", "the player's notes");
    const auto run = Start("base");
    run.Install(destination);
    run.Box("すでにフォルダが存在します\n上書きしますか？").Press(IDYES);
    auto error = run.setup.WaitMessageBox(destination + "\\game_gdi.exe");
    EXPECT_EQ(error.Text(), "ファイルが作成できません");
    error.Press(IDOK);
    auto aborted = run.Box("中止しました");
    EXPECT_EQ(aborted.GetIcon(), e2e::Icon::Error);
    aborted.Press(IDOK);
    // The rollback follows the message.
    const std::vector<std::string> left{"アンインストールについて.txt"};
    e2e::WaitUntil([&] { return e2e::FilesIn(destination) == left; }, "the copies deleted");
    EXPECT_EQ(ReadAll(destination + "\\アンインストールについて.txt"), "the player's notes");
    EXPECT_TRUE(e2e::PathExists(destination + "\\game_gdi.exe"));
    EXPECT_FALSE(e2e::InstallRecord::Read(kInstallDir));
    EXPECT_FALSE(e2e::PathExists(Programs() + "\\見本ゲーム"));
    EXPECT_FALSE(ListEntry(L"DisplayName"));
    Check(run.menu, {e2e::menu::Install, true, true});

    run.Quit();
    Scratch("failed");
}

// A folder name ending in ン (0x83 0x93: its second byte lies in the lead-byte range) installs,
// starts and uninstalls like any other. No movie: Wine's video driver takes a path without a form in
// the system's code page (ドラゴン under an English locale) for a missing file.
TEST(Installation, AFolderEndingInNInstallsStartsAndUninstalls)
{
    e2e::InstallRecord::Remove("ドラゴン");
    const std::string destination = Scratch("japanese") + "\\ドラゴン";
    const auto run = Start("installdir_n");
    run.Install(destination);
    run.Box("インストールしました").Press(IDOK);
    EXPECT_EQ(e2e::InstallRecord::Read("ドラゴン"), destination + "\\");
    run.menu.Click(Exec);
    auto game = e2e::WaitWindow("サンプルゲーム");
    EXPECT_EQ(game.Child("Static").Text(), "作業フォルダ: " + destination);
    EXPECT_EQ(run.setup.WaitExit(), 0u);
    game.Close();
    game.WaitGone();

    WriteText(destination + "\\Save000.dat", "saved");
    const auto again = Start("installdir_n");
    again.menu.Click(Uninstall);
    again.setup.WaitWindow("アンインストールオプション", "").Click("アンインストールの開始");
    again.Box("アンインストールしました").Press(IDOK);
    EXPECT_EQ(again.setup.WaitExit(), 0u);
    EXPECT_FALSE(e2e::PathExists(destination));
    EXPECT_FALSE(e2e::PathExists(Programs() + "\\見本ゲーム"));
    EXPECT_FALSE(e2e::InstallRecord::Read("ドラゴン"));
    EXPECT_FALSE(e2e::PathExists(e2e::SpecialFolder(CSIDL_LOCAL_APPDATA) + "\\ドラゴン Uninstall"));
}

TEST(Installation, ShortcutFailuresAreReportedAndTheRecordIsStillWritten)
{
    // A list without the GDI entry: that one link fails, the others are made.
    const std::string destination = Scratch("short") + "\\MihonGame";
    const auto run = Start("short_list");
    run.Install(destination);
    run.Box(kShortcutFailed).Press(IDOK);
    run.Box("インストールしました").Press(IDOK);
    EXPECT_EQ(e2e::FilesIn(Programs() + "\\見本ゲーム"),
              (std::vector<std::string>{"お読み下さい.lnk", "アンインストールについて.lnk", "見本ゲーム.lnk"}));
    EXPECT_EQ(e2e::InstallRecord::Read(kInstallDir), destination + "\\");
    run.Quit();

    // A Programs folder that has no code-page-932 form: one report, no link, the record all the same.
    const std::string other = Scratch("noprograms") + "\\MihonGame";
    const wchar_t* shellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, shellFolders, 0, KEY_READ | KEY_WRITE, &key), ERROR_SUCCESS);
    const RegKey owner(key);
    wchar_t saved[1024] = {};
    DWORD size = sizeof saved, type = 0;
    const bool had = ::RegQueryValueExW(key, L"Programs", nullptr, &type, reinterpret_cast<BYTE*>(saved), &size) ==
                     ERROR_SUCCESS;
    const std::wstring unusable = L"C:\\Programs\x00E9";
    ::RegSetValueExW(key, L"Programs", 0, REG_SZ, reinterpret_cast<const BYTE*>(unusable.c_str()),
                     static_cast<DWORD>((unusable.size() + 1) * sizeof(wchar_t)));
    const auto odd = Start("base");
    odd.Install(other);
    odd.Box(kShortcutFailed).Press(IDOK);
    odd.Box("インストールしました").Press(IDOK);
    if (had)
        ::RegSetValueExW(key, L"Programs", 0, type, reinterpret_cast<const BYTE*>(saved), size);
    else
        ::RegDeleteValueW(key, L"Programs");
    EXPECT_FALSE(e2e::PathExists(Programs() + "\\見本ゲーム"));
    EXPECT_EQ(e2e::InstallRecord::Read(kInstallDir), other + "\\");
    odd.Quit();
    Scratch("short");
    Scratch("noprograms");
}

// Windows' list of installed programs: the entry names an uninstaller outside the install folder
// that needs no disc, offers the uninstall and takes everything with it, itself included.
TEST(Installation, ListedWithAnUninstallerThatNeedsNoDisc)
{
    const std::string destination = Scratch("listed") + "\\MihonGame";
    const auto run = Start("listed");
    run.Install(destination);
    run.Box("インストールしました").Press(IDOK);
    run.Quit();
    EXPECT_EQ(ListEntry(L"DisplayName"), std::optional<std::wstring>(L"見本ゲーム"));
    EXPECT_EQ(ListEntry(L"InstallLocation"), std::optional<std::wstring>(Wide(destination + "\\")));
    EXPECT_EQ(ListEntry(L"NoModify"), std::optional<std::wstring>(L"1"));
    EXPECT_EQ(ListEntry(L"NoRepair"), std::optional<std::wstring>(L"1"));
    EXPECT_GT(std::stoul(ListEntry(L"EstimatedSize").value_or(L"0")), 1024ul);
    const std::wstring command = ListEntry(L"UninstallString").value_or(L"");
    ASSERT_GT(command.size(), 2u);
    ASSERT_EQ(command.front(), L'"');
    const std::string uninstaller = cp932::FromWideLossy(command.substr(1, command.size() - 2));
    EXPECT_EQ(ListEntry(L"DisplayIcon"), std::optional<std::wstring>(Wide(uninstaller + ",0")));
    EXPECT_EQ(e2e::FilesIn(uninstaller.substr(0, uninstaller.rfind('\\'))),
              (std::vector<std::string>{"Setup.exe", "Setup.ini"}));
    EXPECT_EQ(e2e::FilesIn(destination).size(), 12u);  // the installed files only

    // The disc is gone; the list starts the uninstaller from a folder of its own choice.
    const std::string disc = e2e::Disc("listed");
    ASSERT_TRUE(::MoveFileW(Wide(disc).c_str(), Wide(disc + "-away").c_str()));
    struct PutBack {
        std::string disc;
        ~PutBack() { ::MoveFileW(Wide(disc + "-away").c_str(), Wide(disc).c_str()); }
    } putBack{disc};
    wchar_t windows[MAX_PATH] = {};
    ASSERT_GT(::GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    const auto listed = e2e::Start(uninstaller, cp932::FromWideLossy(windows));
    EXPECT_EQ(listed.WaitExit(), 0u);  // handed over to a copy of itself
    const e2e::Window menu = WaitAnyWindow("インストーラ", "TMainForm");
    Check(menu, {Uninstall, true, true});
    Check(menu, {e2e::menu::Install, false, false});
    // A new process's window is shown before its focus is set: waited for, not sampled.
    e2e::WaitUntil([&] { return menu.Button(Uninstall).Focused(); }, "the focus on the uninstall button");
    menu.Click(Uninstall);
    WaitAnyWindow("アンインストールオプション", "").Click("アンインストールの開始");
    e2e::MsgBox done(WaitAnyWindow("Setup.exe", "#32770").Handle());
    EXPECT_EQ(done.Text(), "アンインストールしました");
    done.Press(IDOK);
    e2e::WaitUntil([] { return e2e::FindWindows("インストーラ", "TMainForm").empty(); }, "the uninstaller ended");

    EXPECT_FALSE(e2e::PathExists(destination));
    EXPECT_FALSE(e2e::PathExists(Programs() + "\\見本ゲーム"));
    EXPECT_FALSE(e2e::InstallRecord::Read(kInstallDir));
    EXPECT_FALSE(ListEntry(L"DisplayName"));
    EXPECT_FALSE(e2e::PathExists(uninstaller.substr(0, uninstaller.rfind('\\'))));
    Scratch("listed");
}

}  // namespace
