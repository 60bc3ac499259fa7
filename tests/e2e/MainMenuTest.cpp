// The main menu as it first appears from the sample disc: its window and the place of each button.

#include <gtest/gtest.h>

#include <cstdio>

#include "driver/Driver.h"

namespace {

TEST(MainMenuLayout, SixButtonsInAFixedWindowCentredOnTheScreen)
{
    auto setup = e2e::Start(e2e::Disc("base") + "\\Setup.exe", e2e::Disc("base"));
    auto menu = setup.WaitWindow("インストーラ", "TMainForm");
    std::printf("%s\n", menu.Listing().c_str());
    EXPECT_EQ(menu.ClientSize().cx, 272);
    EXPECT_EQ(menu.ClientSize().cy, 216);
    const LONG style = ::GetWindowLongW(menu.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    RECT frame{};
    ::GetWindowRect(menu.Handle(), &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    struct Expected {
        const char* caption;
        e2e::Bounds place;
    };
    // In tab order; the install and Start-menu buttons share one place.
    const Expected expected[] = {
        {"【見本ゲーム】の実行", {8, 8, 256, 25}},
        {"【見本ゲーム】のインストール", {8, 56, 256, 25}},
        {"スタートメニュー削除", {8, 56, 256, 25}},
        {"【見本ゲーム】のアンインストール", {8, 88, 256, 25}},
        {"DirectX9.0bのインストール", {8, 136, 256, 25}},
        {"終了", {8, 184, 256, 25}},
    };
    const auto controls = menu.Controls();
    ASSERT_EQ(controls.size(), std::size(expected)) << menu.Listing();
    for (size_t i = 0; i < controls.size(); ++i) {
        SCOPED_TRACE(controls[i].Describe());
        EXPECT_EQ(controls[i].Class(), "Button");
        EXPECT_EQ(controls[i].Text(), expected[i].caption);
        EXPECT_EQ(controls[i].Place(), expected[i].place);
    }

    menu.Click("終了");
    EXPECT_EQ(setup.WaitExit(), 0u);
    EXPECT_TRUE(e2e::FindWindows("", "", setup.Id()).empty());
}

}  // namespace
