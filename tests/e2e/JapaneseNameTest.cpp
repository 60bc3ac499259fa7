// A game whose folder name ends in a character whose second byte lies in the lead-byte range
// (ン is 0x83 0x93): installed, started and uninstalled as any other.

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

#include "MenuScenario.h"
#include "driver/Driver.h"
#include "util/Cp932.h"
#include "util/Handles.h"

namespace {

using namespace e2e::menu;

constexpr const char* kDragon = "ドラゴン";

void Put(const std::string& path)
{
    const FileHandle file(::CreateFileW(cp932::ToWideLossy(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file) << path;
}

bool KeyExists(const std::string& path)
{
    RegKey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, cp932::ToWideLossy(path).c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

TEST(JapaneseName, AFolderEndingInNInstallsStartsAndUninstalls)
{
    e2e::InstallRecord::Remove(kDragon);
    const std::string programs = e2e::SpecialFolder(CSIDL_PROGRAMS) + "\\見本ゲーム";
    e2e::RemoveTree(programs);
    const std::string parent = e2e::BuildFolder() + "\\e2e-japanese";
    e2e::RemoveTree(parent);
    const std::string destination = parent + "\\" + kDragon;

    auto setup = StartFromDisc("installdir_n");
    auto menu = setup.WaitWindow("インストーラ", "TMainForm");
    menu.Click(Install);
    const auto dialog = setup.WaitWindow("インストール先の指定", "TInstallForm");
    dialog.Child("Edit").SetText(destination);
    dialog.Click("インストールの開始");
    auto done = setup.WaitMessageBox("Setup.exe");
    EXPECT_EQ(done.Text(), "インストールしました");
    done.Press(IDOK);
    EXPECT_EQ(e2e::InstallRecord::Read(kDragon), destination + "\\");
    // No movie: Wine's video driver opens a file whose path has no form in the system's code page
    // (ドラゴン under an English locale) as missing.
    EXPECT_EQ(e2e::FilesIn(destination).size(), 11u);
    menu.Click(Exec);
    auto game = e2e::WaitWindow("サンプルゲーム");
    EXPECT_EQ(game.Child("Static").Text(), "作業フォルダ: " + destination);
    EXPECT_EQ(setup.WaitExit(), 0u);
    game.Close();
    game.WaitGone();

    // Saves and a file of the game's own making go with every box checked; so do the folder, the
    // record and the Start-menu folder.
    for (const char* name : {"\\Save000.dat", "\\SaveXXX.dat", "\\config.txt"}) Put(destination + name);
    const std::string entry = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kDragon;
    EXPECT_TRUE(KeyExists(entry));
    auto again = StartFromDisc("installdir_n");
    again.WaitWindow("インストーラ", "TMainForm").Click(Uninstall);
    again.WaitWindow("アンインストールオプション", "").Click("アンインストールの開始");
    auto uninstalled = again.WaitMessageBox("Setup.exe");
    EXPECT_EQ(uninstalled.Text(), "アンインストールしました");
    uninstalled.Press(IDOK);
    EXPECT_EQ(again.WaitExit(), 0u);
    EXPECT_FALSE(e2e::PathExists(destination));
    EXPECT_FALSE(e2e::PathExists(parent));
    EXPECT_FALSE(e2e::PathExists(programs));
    EXPECT_FALSE(e2e::InstallRecord::Read(kDragon));
    EXPECT_FALSE(KeyExists(entry));
    EXPECT_FALSE(e2e::PathExists(e2e::SpecialFolder(CSIDL_LOCAL_APPDATA) + "\\" + kDragon + " Uninstall"));
}

}  // namespace
