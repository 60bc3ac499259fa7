// The main menu as a player meets it: which buttons it offers in each mode and install state, where
// the focus is, what a broken setup configuration or install record does, and the single-instance
// guard.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/Driver.h"
#include "MenuScenario.h"

namespace {

using e2e::menu::Expect;
using e2e::menu::Exec;
using e2e::menu::Install;
using e2e::menu::DelStart;
using e2e::menu::Uninstall;
using e2e::menu::Dxsetup;
using e2e::menu::Exit;

struct Row {
    const char* name;
    const char* disc;
    bool installed;
    std::vector<Expect> buttons;
    const char* focus;
};

class MainMenuStates : public testing::TestWithParam<Row> {};

TEST_P(MainMenuStates, ButtonsAndFocusFollowTheModeAndTheInstallRecord)
{
    const Row& row = GetParam();
    e2e::menu::ClearRecord();
    std::unique_ptr<e2e::InstallRecord> record;
    if (row.installed) record = std::make_unique<e2e::InstallRecord>(e2e::menu::kInstallDir, e2e::menu::InstalledDir() + "\\");
    auto setup = e2e::menu::StartFromDisc(row.disc);
    auto window = setup.WaitWindow("インストーラ", "TMainForm");
    for (const Expect& expect : row.buttons) e2e::menu::Check(window, expect);
    // The window may be seen on the screen a moment before its focus is placed.
    const e2e::Control focus = window.Button(row.focus);
    e2e::WaitUntil([&] { return focus.Focused(); }, std::string("the focus on ") + row.focus);
    window.Click(Exit);
    EXPECT_EQ(setup.WaitExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MainMenuStates,
    testing::Values(
        Row{"LauncherNotInstalled", "base", false,
            {{Exec, true, false}, {Install, true, true}, {DelStart, false, true}, {Uninstall, true, false},
             {Dxsetup, true, true}, {Exit, true, true}},
            Install},
        Row{"LauncherInstalled", "base", true,
            {{Exec, true, true}, {Install, true, false}, {DelStart, false, true}, {Uninstall, true, true},
             {Dxsetup, true, true}, {Exit, true, true}},
            Exec},
        Row{"InstalledCopyNotInstalled", "noimage", false,
            {{Exec, false, false}, {Install, false, true}, {DelStart, true, true}, {Uninstall, true, false},
             {Dxsetup, false, true}, {Exit, true, true}},
            DelStart},
        Row{"InstalledCopyInstalled", "noimage", true,
            {{Exec, false, true}, {Install, false, false}, {DelStart, false, true}, {Uninstall, true, true},
             {Dxsetup, false, true}, {Exit, true, true}},
            Uninstall}),
    [](const testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

// How the working folder's `image` entry decides the mode.
struct ImageCase {
    const char* disc;
    bool launcher;
};
class ImageEntry : public testing::TestWithParam<ImageCase> {};

TEST_P(ImageEntry, DecidesTheMode)
{
    e2e::menu::ClearRecord();
    auto setup = e2e::menu::StartFromDisc(GetParam().disc);
    auto window = setup.WaitWindow("インストーラ", "TMainForm");
    EXPECT_EQ(window.Button(Install).StyleVisible(), GetParam().launcher);
    EXPECT_EQ(window.Button(Dxsetup).StyleVisible(), GetParam().launcher);
    EXPECT_EQ(window.Button(DelStart).StyleVisible(), !GetParam().launcher);
    window.Click(Exit);
    EXPECT_EQ(setup.WaitExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Variants, ImageEntry,
                         testing::Values(ImageCase{"image_file", true}, ImageCase{"image_hidden_file", false},
                                         ImageCase{"image_hidden_dir", true}, ImageCase{"image_upper", true},
                                         ImageCase{"noimage", false}),
                         [](const testing::TestParamInfo<ImageCase>& info) { return std::string(info.param.disc); });

TEST(MainMenu, CaptionsCarryTheGameName)
{
    e2e::menu::ClearRecord();
    auto setup = e2e::menu::StartFromDisc("emptyname");
    auto window = setup.WaitWindow("インストーラ", "TMainForm");
    EXPECT_TRUE(window.HasButton("【】の実行"));
    EXPECT_TRUE(window.HasButton("【】のインストール"));
    EXPECT_TRUE(window.HasButton("【】のアンインストール"));
    EXPECT_TRUE(window.HasButton("スタートメニュー削除"));
    window.Click(Exit);
    EXPECT_EQ(setup.WaitExit(), 0u);
}

class UnusableConfiguration : public testing::TestWithParam<const char*> {};

TEST_P(UnusableConfiguration, SaysSoAndEnds)
{
    auto setup = e2e::menu::StartFromDisc(GetParam());
    auto box = setup.WaitMessageBox("Setup.exe");
    EXPECT_EQ(box.Text(), "Iniファイルが読めません");
    EXPECT_EQ(box.GetIcon(), e2e::Icon::Error);
    EXPECT_EQ(box.ButtonIds(), std::vector<int>{IDOK});
    box.Press(IDOK);
    EXPECT_EQ(setup.WaitExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Variants, UnusableConfiguration,
                         testing::Values("noini", "emptyinstalldir", "noinstalldir", "count_huge",
                                         "installdir_dotdot", "installdir_backslash", "shortcut_climb",
                                         "installdir_owned"));

TEST(MainMenu, ADirOfAnotherTypeIsReportedAndTheModeStaysUndecided)
{
    e2e::menu::ClearRecord();
    e2e::menu::WriteDwordDir(7);
    auto setup = e2e::menu::StartFromDisc("base");
    auto box = setup.WaitMessageBox("インストーラ");
    EXPECT_EQ(box.Text(), "'Dir' のデータ型が不正です.");
    EXPECT_EQ(box.GetIcon(), e2e::Icon::Error);
    box.Press(IDOK);
    auto window = setup.WaitWindow("インストーラ", "TMainForm");
    EXPECT_TRUE(window.Button("【見本ゲーム】のインストール").StyleVisible());
    EXPECT_TRUE(window.Button(DelStart).StyleVisible());
    window.Click(Exit);
    EXPECT_EQ(setup.WaitExit(), 0u);
    e2e::menu::ClearRecord();
}

TEST(MainMenu, ASecondCopyEndsAtOnceWithOneAndAThirdRunsAfterTheFirst)
{
    e2e::menu::ClearRecord();
    auto first = e2e::menu::StartFromDisc("base");
    auto window = first.WaitWindow("インストーラ", "TMainForm");
    auto second = e2e::menu::StartFromDisc("base");
    EXPECT_EQ(second.WaitExit(), 1u);
    EXPECT_EQ(e2e::menu::MainWindowCount(), 1);
    window.Click(Exit);
    EXPECT_EQ(first.WaitExit(), 0u);

    auto third = e2e::menu::StartFromDisc("base");
    third.WaitWindow("インストーラ", "TMainForm").Click(Exit);
    EXPECT_EQ(third.WaitExit(), 0u);
}

}  // namespace
