// The main menu's own operations: starting the installed game and the DirectX setup from the disc.

#include <gtest/gtest.h>

#include <string>

#include "MenuScenario.h"
#include "driver/Driver.h"

namespace {

using namespace e2e::menu;

std::string WorkingFolderShown(const e2e::Window& window) { return window.Child("Static").Text(); }

TEST(StartGame, RunsTheGameInItsInstalledFolder)
{
    ClearRecord();
    const e2e::InstallRecord record(kInstallDir, InstalledDir() + "\\");
    auto setup = StartFromDisc("base");
    setup.WaitWindow("インストーラ", "TMainForm").Click(Exec);
    // With a movie, the game is File3: game.exe, the plain variant.
    auto game = e2e::WaitWindow("サンプルゲーム");
    EXPECT_EQ(WorkingFolderShown(game), "作業フォルダ: " + InstalledDir());
    EXPECT_EQ(setup.WaitExit(), 0u);
    game.Close();
    game.WaitGone();
}

TEST(StartGame, WithoutAMovieTheGameIsTheSecondEntry)
{
    ClearRecord();
    const e2e::InstallRecord record(kInstallDir, InstalledDir() + "\\");
    auto setup = StartFromDisc("nomovie");
    setup.WaitWindow("インストーラ", "TMainForm").Click(Exec);
    auto game = e2e::WaitWindow("サンプルゲーム");
    EXPECT_EQ(setup.WaitExit(), 0u);
    game.Close();
    game.WaitGone();
}

TEST(StartGame, AMissingGameIsAStartErrorAndTheProgramStillEnds)
{
    ClearRecord();
    // A folder that exists but holds no game.
    const e2e::InstallRecord record(kInstallDir, e2e::Disc("base") + "\\image\\");
    auto setup = StartFromDisc("base");
    setup.WaitWindow("インストーラ", "TMainForm").Click(Exec);
    auto box = setup.WaitMessageBox("Setup.exe");
    EXPECT_EQ(box.Text(), "起動エラー");
    EXPECT_EQ(box.GetIcon(), e2e::Icon::Error);
    box.Press(IDOK);
    EXPECT_EQ(setup.WaitExit(), 0u);
}

TEST(StartGame, AListWithoutTheGameEntryShowsTheListErrorAndStays)
{
    ClearRecord();
    const e2e::InstallRecord record(kInstallDir, InstalledDir() + "\\");
    auto setup = StartFromDisc("two_entries_movie");
    auto window = setup.WaitWindow("インストーラ", "TMainForm");
    window.Click(Exec);
    auto box = setup.WaitMessageBox("インストーラ");
    EXPECT_EQ(box.Text(), "リストのインデックスが範囲を超えています (2)");
    EXPECT_EQ(box.GetIcon(), e2e::Icon::Error);
    box.Press(IDOK);
    EXPECT_TRUE(setup.Running());
    window.Click(Exit);
    EXPECT_EQ(setup.WaitExit(), 0u);
}

TEST(DirectXSetup, StartsFromTheProgramsFolderWhateverTheWorkingFolder)
{
    ClearRecord();
    // The program lies on the noimage disc; it runs in the base disc, which has the image entry.
    auto setup = StartFromDisc("noimage", "base");
    setup.WaitWindow("インストーラ", "TMainForm").Click(Dxsetup);
    auto dxsetup = e2e::WaitWindow("DirectX セットアップ (見本)");
    const std::string text = dxsetup.Child("Static").Text();
    EXPECT_NE(text.find(e2e::Disc("noimage") + "\\DirectX9.0b\\dxsetup.exe"), std::string::npos) << text;
    EXPECT_EQ(setup.WaitExit(), 0u);
    dxsetup.Close();
    dxsetup.WaitGone();
}

TEST(DirectXSetup, TheModeFollowsTheWorkingFolderNotTheProgramsFolder)
{
    ClearRecord();
    auto setup = StartFromDisc("base", "noimage");
    auto window = setup.WaitWindow("インストーラ", "TMainForm");
    EXPECT_FALSE(window.Button(Dxsetup).StyleVisible());
    EXPECT_TRUE(window.Button(DelStart).StyleVisible());
    window.Click(Exit);
    EXPECT_EQ(setup.WaitExit(), 0u);
}

}  // namespace
