// Uninstalling and removing the Start-menu entries, against real Start-menu folders, files and
// registry keys: what goes, what stays, and the folders that are never emptied or removed.

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "MenuScenario.h"
#include "driver/Driver.h"
#include "util/Cp932.h"

namespace {

using namespace e2e::menu;

constexpr const char* kDialog = "アンインストールオプション";
constexpr const char* kStart = "アンインストールの開始";
constexpr const char* kGameFolder = "見本ゲーム";  // the Start-menu folder; the game's own is kInstallDir

std::wstring W(const std::string& text) { return cp932::ToWideLossy(text); }

std::string Special(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
        throw e2e::StepFailed("no special folder " + std::to_string(csidl));
    return cp932::FromWideLossy(path);
}

void Put(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    ASSERT_TRUE(e2e::MakeFolders(path.substr(0, path.rfind('\\'))));
    const KernelHandle file(::CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_NE(file.Get(), INVALID_HANDLE_VALUE) << path;
    ::SetFileAttributesW(W(path).c_str(), attributes);
}

// A new scratch folder under build/e2e-uninstall.
std::string Scratch(const std::string& name)
{
    const std::string root = e2e::BuildFolder() + "\\e2e-uninstall\\" + name;
    e2e::RemoveTree(root);
    return root;
}

// Copies the installed sample game into `dir`; the names of its files.
std::vector<std::string> CopyInstalled(const std::string& dir)
{
    std::vector<std::string> names;
    e2e::MakeFolders(dir);
    WIN32_FIND_DATAW found{};
    const FindHandle search(::FindFirstFileW(W(InstalledDir() + "\\*").c_str(), &found));
    if (!search) throw e2e::StepFailed("no installed sample game");
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        names.push_back(cp932::FromWideLossy(found.cFileName));
        ::CopyFileW(W(InstalledDir() + "\\" + names.back()).c_str(), W(dir + "\\" + names.back()).c_str(), FALSE);
    } while (::FindNextFileW(search.Get(), &found));
    return names;
}

std::vector<std::string> SaveNames()
{
    std::vector<std::string> names;
    for (int n : {0, 1, 9, 10, 42, 99, 700, 800, 900}) {
        const std::string digits = std::to_string(n);
        names.push_back("Save" + std::string(3 - digits.size(), '0') + digits + ".dat");
    }
    names.push_back("SaveXXX.dat");
    return names;
}

bool KeyExists(const std::string& path)
{
    RegKey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, W(path).c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

void ExpectDone(const e2e::Process& setup, const std::string& text)
{
    const e2e::MsgBox box = setup.WaitMessageBox("Setup.exe");
    EXPECT_EQ(box.Text(), text);
    EXPECT_EQ(box.GetIcon(), e2e::Icon::Information);
    EXPECT_EQ(box.ButtonIds(), std::vector<int>{IDOK});
    box.Press(IDOK);
    EXPECT_EQ(setup.WaitExit(), 0u);
}

// Starts Setup.exe from `disc` and uninstalls with every box checked; the message and the program's
// end are checked.
void Uninstall(const std::string& disc)
{
    auto setup = StartFromDisc(disc);
    setup.WaitWindow("インストーラ", "TMainForm").Click(e2e::menu::Uninstall);
    setup.WaitWindow(kDialog).Click(kStart);
    ExpectDone(setup, "アンインストールしました");
}

void DeleteStartMenu(const std::string& disc)
{
    auto setup = StartFromDisc(disc);
    setup.WaitWindow("インストーラ", "TMainForm").Click(DelStart);
    ExpectDone(setup, "削除しました");
}

class StartMenuRemoval : public testing::Test {
protected:
    void SetUp() override { ClearRecord(); }
    void TearDown() override
    {
        for (const std::string& programs : {user, common}) {
            for (const char* name : {kGameFolder, "ソフト見本"}) e2e::RemoveTree(programs + "\\" + name);
            ::DeleteFileW(W(programs + "\\MihonOther.lnk").c_str());
        }
    }
    const std::string user = Special(CSIDL_PROGRAMS);
    const std::string common = Special(CSIDL_COMMON_PROGRAMS);
};

TEST_F(StartMenuRemoval, FilesOfEveryKindGoButASubfolderKeepsItsFolder)
{
    Put(user + "\\見本ゲーム\\見本ゲーム.lnk", FILE_ATTRIBUTE_READONLY);
    Put(user + "\\見本ゲーム\\お読み下さい.lnk", FILE_ATTRIBUTE_HIDDEN);
    Put(user + "\\見本ゲーム\\アンインストールについて.lnk", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    Put(user + "\\MihonOther.lnk");
    Put(common + "\\見本ゲーム\\見本ゲーム.lnk");
    Put(common + "\\見本ゲーム\\sub\\kept.lnk");
    DeleteStartMenu("noimage");
    EXPECT_FALSE(e2e::PathExists(user + "\\見本ゲーム"));
    EXPECT_TRUE(e2e::PathExists(user + "\\MihonOther.lnk"));
    EXPECT_FALSE(e2e::PathExists(common + "\\見本ゲーム\\見本ゲーム.lnk"));
    EXPECT_TRUE(e2e::PathExists(common + "\\見本ゲーム\\sub\\kept.lnk"));
}

TEST_F(StartMenuRemoval, ANestedFolderGoesWithItsEmptiedParentButNeverTheProgramsFolder)
{
    // ShortCut is ソフト見本\見本ゲーム: under the user's Programs only the emptied parent is left.
    ASSERT_TRUE(e2e::MakeFolders(user + "\\ソフト見本"));
    Put(common + "\\ソフト見本\\見本ゲーム\\見本ゲーム.lnk");
    DeleteStartMenu("delstart_nested");
    EXPECT_FALSE(e2e::PathExists(user + "\\ソフト見本"));
    EXPECT_FALSE(e2e::PathExists(common + "\\ソフト見本"));
    EXPECT_TRUE(e2e::PathExists(user));
    EXPECT_TRUE(e2e::PathExists(common));
}

TEST_F(StartMenuRemoval, AnEmptyShortCutLeavesTheProgramsFoldersAlone)
{
    Put(user + "\\MihonOther.lnk");
    Put(common + "\\MihonOther.lnk");
    DeleteStartMenu("delstart_noshortcut");
    EXPECT_TRUE(e2e::PathExists(user + "\\MihonOther.lnk"));
    EXPECT_TRUE(e2e::PathExists(common + "\\MihonOther.lnk"));
}

class Uninstalling : public StartMenuRemoval {};

TEST_F(Uninstalling, TheDialogThenAllThreeBoxesTakeTheWholeFolderAndItsEmptiedParent)
{
    const std::string outer = Scratch("outer");
    const std::string dir = outer + "\\inner\\" + kInstallDir;
    const std::vector<std::string> listed = CopyInstalled(dir);
    Put(outer + "\\other.txt");
    for (const char* extra : {"log.txt", "Save100.dat", "Save701.dat"}) Put(dir + "\\" + extra);
    Put(dir + "\\settings.ini", FILE_ATTRIBUTE_READONLY);
    for (const std::string& save : SaveNames()) Put(dir + "\\" + save);
    Put(user + "\\見本ゲーム\\見本ゲーム.lnk");
    const e2e::InstallRecord record(kInstallDir, dir + "\\");
    RegKey sub;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\MihonGame\\Sub", 0, nullptr, 0, KEY_WRITE, nullptr,
                                sub.Put(), nullptr), ERROR_SUCCESS);
    sub.Reset();

    auto setup = StartFromDisc("base");
    const e2e::Window menu = setup.WaitWindow("インストーラ", "TMainForm");
    for (int round = 0; round < 3; ++round) {
        menu.Click(e2e::menu::Uninstall);
        const e2e::Window dialog = setup.WaitWindow(kDialog);
        EXPECT_EQ(dialog.ClientSize().cx, 272);
        EXPECT_EQ(dialog.ClientSize().cy, 216);
        for (const char* box : {"スタートメニューを削除", "ゲーム本体を削除", "セーブデータを削除"}) {
            EXPECT_TRUE(dialog.Button(box).Checked()) << box;
            EXPECT_EQ(dialog.Button(box).Enabled(), box != std::string("ゲーム本体を削除")) << box;
        }
        EXPECT_EQ(dialog.Button(kStart).Place(), (e2e::Bounds{8, 136, 256, 25}));
        if (round == 2) {
            dialog.Click(kStart);
            break;
        }
        // The title bar's close box, then Cancel: nothing is touched and the menu stays.
        if (round == 0) dialog.Close();
        else dialog.Click("キャンセル");
        dialog.WaitGone();
        EXPECT_TRUE(setup.Running());
        EXPECT_TRUE(e2e::PathExists(dir + "\\" + listed.front()));
        EXPECT_TRUE(e2e::PathExists(dir + "\\Save000.dat"));
        EXPECT_TRUE(e2e::PathExists(user + "\\見本ゲーム\\見本ゲーム.lnk"));
        EXPECT_TRUE(KeyExists("Software\\MihonGame\\Sub"));
    }
    ExpectDone(setup, "アンインストールしました");
    EXPECT_FALSE(e2e::PathExists(outer + "\\inner"));
    EXPECT_TRUE(e2e::PathExists(outer + "\\other.txt"));
    EXPECT_FALSE(e2e::PathExists(user + "\\見本ゲーム"));
    // Only the record's Dir goes: another game's record below it keeps the key.
    EXPECT_FALSE(e2e::InstallRecord::Read(kInstallDir));
    EXPECT_TRUE(KeyExists("Software\\MihonGame\\Sub"));
}

TEST_F(Uninstalling, WithoutSaveDataTheSavesKeepTheFolderTheChoiceOutlivesACancelAndAMissingRecordIsNoError)
{
    const std::string dir = Scratch("saves") + "\\" + kInstallDir;
    const std::vector<std::string> listed = CopyInstalled(dir);
    for (const std::string& save : SaveNames()) Put(dir + "\\" + save);
    Put(dir + "\\log.txt");
    Put(user + "\\見本ゲーム\\見本ゲーム.lnk");
    const e2e::InstallRecord record(kInstallDir, dir + "\\");

    auto setup = StartFromDisc("base");
    const e2e::Window menu = setup.WaitWindow("インストーラ", "TMainForm");
    menu.Click(e2e::menu::Uninstall);
    e2e::Window dialog = setup.WaitWindow(kDialog);
    dialog.Button("セーブデータを削除").SetChecked(false);
    dialog.Click("キャンセル");
    dialog.WaitGone();
    menu.Click(e2e::menu::Uninstall);
    dialog = setup.WaitWindow(kDialog);
    EXPECT_FALSE(dialog.Button("セーブデータを削除").Checked());
    EXPECT_TRUE(dialog.Button("スタートメニューを削除").Checked());
    ClearRecord();  // already gone: the rest goes on and the message is the same
    dialog.Click(kStart);
    ExpectDone(setup, "アンインストールしました");

    for (const std::string& name : listed) EXPECT_FALSE(e2e::PathExists(dir + "\\" + name)) << name;
    for (const std::string& save : SaveNames()) EXPECT_TRUE(e2e::PathExists(dir + "\\" + save)) << save;
    EXPECT_TRUE(e2e::PathExists(dir + "\\log.txt"));
    EXPECT_FALSE(e2e::PathExists(user + "\\見本ゲーム"));
}

TEST_F(Uninstalling, ASubfolderKeepsTheFolderAndANestedRecordKeyLeavesItsParent)
{
    const std::string dir = Scratch("sub") + "\\" + kInstallDir;
    const std::vector<std::string> listed = CopyInstalled(dir);
    Put(dir + "\\log.txt");
    Put(dir + "\\セーブ\\kept.dat");
    const e2e::InstallRecord record("MihonParent\\MihonGame", dir + "\\");
    Uninstall("nested_installdir");
    EXPECT_FALSE(e2e::PathExists(dir + "\\" + listed.front()));
    EXPECT_FALSE(e2e::PathExists(dir + "\\log.txt"));
    EXPECT_TRUE(e2e::PathExists(dir + "\\セーブ\\kept.dat"));
    EXPECT_FALSE(KeyExists("Software\\MihonParent\\MihonGame"));
    EXPECT_TRUE(KeyExists("Software\\MihonParent"));
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\MihonParent");
}

// The game still running holds one of its files without sharing: the player is told, and the record
// and the list entry stay, so that a later run, once the game has ended, finishes the uninstall.
TEST_F(Uninstalling, AFileHeldOpenKeepsTheRecordAndTheListEntryUntilALaterRun)
{
    const std::string dir = Scratch("locked") + "\\" + kInstallDir;
    const std::vector<std::string> listed = CopyInstalled(dir);
    const std::string held = dir + "\\" + listed.front();
    const e2e::InstallRecord record(kInstallDir, dir + "\\");
    const std::wstring entry = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MihonGame";
    RegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, entry.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr),
              ERROR_SUCCESS);
    key.Reset();
    {
        const KernelHandle game(::CreateFileW(W(held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(game.Get(), INVALID_HANDLE_VALUE);
        auto setup = StartFromDisc("base");
        setup.WaitWindow("インストーラ", "TMainForm").Click(e2e::menu::Uninstall);
        setup.WaitWindow(kDialog).Click(kStart);
        const e2e::MsgBox box = setup.WaitMessageBox("Setup.exe");
        EXPECT_EQ(box.Text(), "一部のファイルを削除できませんでした");
        EXPECT_EQ(box.GetIcon(), e2e::Icon::Warning);
        EXPECT_EQ(box.ButtonIds(), std::vector<int>{IDOK});
        box.Press(IDOK);
        EXPECT_EQ(setup.WaitExit(), 0u);
        EXPECT_TRUE(e2e::PathExists(held));
        for (size_t i = 1; i < listed.size(); ++i) EXPECT_FALSE(e2e::PathExists(dir + "\\" + listed[i])) << listed[i];
        EXPECT_EQ(e2e::InstallRecord::Read(kInstallDir), std::optional<std::string>(dir + "\\"));
        EXPECT_TRUE(KeyExists(cp932::FromWideLossy(entry)));
    }
    Uninstall("base");
    EXPECT_FALSE(e2e::PathExists(dir));
    EXPECT_FALSE(e2e::InstallRecord::Read(kInstallDir));
    EXPECT_FALSE(KeyExists(cp932::FromWideLossy(entry)));
}

// A tampered or foreign record: the folder it names is never emptied when it is a drive's root or
// one of the system's or the player's own folders, and the walk up stops below such a folder.
TEST_F(Uninstalling, ADriveRootOrAKnownFolderKeepsItsOtherFiles)
{
    const std::string drive = e2e::EnvironmentValue("SETUP_E2E_DRIVE");
    // The all users' one: the player's own may be linked to a home folder outside the prefix.
    const std::string documents = Special(CSIDL_COMMON_DOCUMENTS);
    std::vector<std::string> dirs = {documents};
    if (!drive.empty()) dirs.push_back(drive);
    for (const std::string& dir : dirs) {
        Put(dir + "\\MihonKeep.txt");
        Put(dir + "\\game.exe");
        Put(dir + "\\Save000.dat");
        const e2e::InstallRecord record(kInstallDir, dir + "\\");
        Uninstall("base");
        // Not the game's own folder: not even the listed names or the saves go, but the record does.
        for (const char* name : {"MihonKeep.txt", "game.exe", "Save000.dat"}) {
            EXPECT_TRUE(e2e::PathExists(dir + "\\" + name)) << dir << " " << name;
            ::DeleteFileW(W(dir + "\\" + name).c_str());
        }
        EXPECT_FALSE(e2e::InstallRecord::Read(kInstallDir)) << dir;
    }
    e2e::RemoveTree(documents + "\\MihonWalk");
    const std::string walked = documents + "\\MihonWalk\\" + kInstallDir;
    CopyInstalled(walked);
    const e2e::InstallRecord record(kInstallDir, walked + "\\");
    Uninstall("base");
    EXPECT_FALSE(e2e::PathExists(documents + "\\MihonWalk"));
    EXPECT_TRUE(e2e::PathExists(documents));
}

// A record that names a folder of the player's: with every box checked, nothing in it goes, not
// even files that bear listed or save names, and the record still does.
TEST_F(Uninstalling, ARecordNamingAPlayersFolderLeavesItWhole)
{
    const std::string photos = Scratch("photos") + "\\MyPhotos";
    const char* const names[] = {"photo1.jpg", "diary.txt", "taxes.xls", "game.exe", "Save000.dat"};
    for (const char* name : names) Put(photos + "\\" + name);
    const e2e::InstallRecord record(kInstallDir, photos + "\\");
    Uninstall("base");
    for (const char* name : names) EXPECT_TRUE(e2e::PathExists(photos + "\\" + name)) << name;
    EXPECT_FALSE(e2e::InstallRecord::Read(kInstallDir));
}

}  // namespace
