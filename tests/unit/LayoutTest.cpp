// The four windows as a person meets them, read from the windows themselves: captions, kinds and
// states of the controls, the font, where the controls stand, the order Tab walks, Enter's button.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "app/MainForm.h"
#include "forms/CopyForm.h"
#include "forms/InstallForm.h"
#include "forms/UninstForm.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Person.h"
#include "util/Cp932.h"

namespace {

struct SilentPerson : ScriptedPerson {
    SilentPerson() { SetScriptedPerson(this); }
    ~SilentPerson() override { SetScriptedPerson(nullptr); }
    int AnswerMessageBox(HWND, const std::string&, const std::string&, UINT) override { return IDOK; }
    std::optional<std::string> AnswerFolderBrowser(HWND, const std::string&, const std::string&) override { return {}; }
};

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// Texts on one line, for failure messages that show them as they are.
std::string Join(const std::vector<std::string>& texts)
{
    std::string line;
    for (const std::string& text : texts) line += "[" + text + "] ";
    return line;
}

bool Shown(HWND control) { return (::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

// "caption : kind" and the states that show.
std::string Describe(HWND control)
{
    wchar_t name[64] = {};
    ::GetClassNameW(control, name, 64);
    const std::wstring cls = name;
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE), type = style & BS_TYPEMASK;
    const bool edged = ::GetWindowLongPtrW(control, GWL_EXSTYLE) & WS_EX_STATICEDGE;
    std::string kind = cls == L"Static" ? (edged ? "panel" : "label") : cls == L"Edit" ? "edit"
                       : cls == L"msctls_progress32" ? "progress bar" : cls == L"SetupPicture" ? "picture"
                       : cls == L"SetupMediaPlayer" ? "media player" : cls != L"Button" ? cp932::FromWideLossy(name)
                       : type == BS_PUSHBUTTON ? "button" : type == BS_DEFPUSHBUTTON ? "default button"
                       : type == BS_AUTOCHECKBOX ? "check box" : type == BS_AUTORADIOBUTTON ? "radio button" : "?";
    if (cls == L"Button" && ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) kind += " checked";
    if (!Shown(control)) kind += " hidden";
    if (style & WS_DISABLED) kind += " disabled";
    return toolkit::WindowCaption(control) + " : " + kind;
}

// A place taken on purpose: `a` and `b` may overlap by `slack` pixels across; without `b`, `a` may
// reach `slack` pixels past its parent's client area.
struct Allowance { HWND a, b; LONG slack; };

// Describes every control in `parent` and below into `seen`, checking on the way its font, that it
// lies inside its parent's client area and that it stands clear of its shown siblings.
void CheckControls(HWND parent, const std::vector<Allowance>& allowances, std::vector<std::string>& seen)
{
    const auto slack = [&allowances](HWND a, HWND b) {
        for (const Allowance& allowed : allowances)
            if ((allowed.a == a && allowed.b == b) || (allowed.a == b && allowed.b == a)) return allowed.slack;
        return 0L;
    };
    RECT client{};
    ::GetClientRect(parent, &client);
    std::vector<std::pair<HWND, RECT>> before;
    for (HWND child : Children(parent)) {
        const std::string described = Describe(child);
        SCOPED_TRACE(described);
        seen.push_back(described);
        RECT place{}, both{};
        ::GetWindowRect(child, &place);
        ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_LE(std::max({-place.left, -place.top, place.right - client.right, place.bottom - client.bottom}),
                  slack(child, nullptr))
            << "at " << place.left << "," << place.top << "-" << place.right << "," << place.bottom
            << ", past its parent's " << client.right << "x" << client.bottom;
        for (const auto& [sibling, where] : before) {
            if (Shown(child) && Shown(sibling) && ::IntersectRect(&both, &place, &where)) {
                EXPECT_LE(std::min(both.right - both.left, both.bottom - both.top), slack(child, sibling))
                    << "over " << Describe(sibling);
            }
        }
        before.emplace_back(child, place);
        LOGFONTW font{};  // on every control but the two that show no text
        if (described.find(" : picture") == std::string::npos && described.find(" : media") == std::string::npos) {
            ::GetObjectW(reinterpret_cast<HGDIOBJ>(::SendMessageW(child, WM_GETFONT, 0, 0)), sizeof(font), &font);
            const std::string face = cp932::FromWideLossy(font.lfFaceName) + " " + std::to_string(font.lfHeight) +
                                     " " + std::to_string(font.lfCharSet);
            EXPECT_TRUE(face == "ＭＳ Ｐゴシック -12 128") << "in " << face;  // 12 pixels, Shift-JIS
        }
        CheckControls(child, allowances, seen);
    }
}

// The captions that take the focus in turn as a person presses Tab, from the first control on, the
// form shown meanwhile.
std::vector<std::string> TabWalk(toolkit::Application& app, toolkit::Form& form)
{
    const bool shown = ::IsWindowVisible(form.Handle());
    ::ShowWindow(form.Handle(), SW_SHOW);
    form.FocusFirstControl();
    const HWND first = ::GetFocus();
    std::vector<std::string> walk;
    for (HWND focus = first; focus && ::IsChild(form.Handle(), focus) && walk.size() < 20;) {
        walk.push_back(toolkit::WindowCaption(focus));
        MSG tab{focus, WM_KEYDOWN, VK_TAB, 0, 0, {}};
        app.DispatchOne(tab);
        if ((focus = ::GetFocus()) == first) break;
    }
    if (!shown) ::ShowWindow(form.Handle(), SW_HIDE);
    return walk;
}

struct Window {
    toolkit::Form* form;
    const char *caption, *enterPresses;
    std::vector<std::string> controls, tabWalk;  // the controls in any order, Tab's walk in its order
};

TEST(Layouts, EveryWindowAsAPersonMeetsIt)
{
    SilentPerson person;  // no Setup.ini beside the test program: the main form says so
    testsupport::ProgramWindows windows;
    toolkit::Application& app = windows.App();
    // Without a usable configuration the main menu keeps its layout captions, shows both faces of
    // its second row and has nothing to start or uninstall.
    const Window expected[] = {
        {MainForm, "インストーラ", "",
         {"ゲームの起動 : button disabled", "インストール : button", "スタートメニュー削除 : button",
          "アンインストール : button disabled", "DirectX9.0bのインストール : button", "終了 : button"},
         {"ゲームの起動", "インストール", "スタートメニュー削除", "アンインストール", "DirectX9.0bのインストール",
          "終了"}},
        {InstallForm, "インストール先の指定", "インストールの開始",
         {"インストール先 : label", "空き容量： : label", "インストール容量 : label", " : edit",
          "インストールの開始 : default button", "インストール先の変更 : button", "キャンセル : button",
          "音声・ＢＧＭもインストール : check box checked", "デモを再生する : check box",
          "圧縮音声 : radio button checked hidden", "非圧縮音声 : radio button hidden"},
         {"", "音声・ＢＧＭもインストール", "デモを再生する", "インストールの開始", "インストール先の変更",
          "キャンセル"}},
        {UninstForm, "アンインストールオプション", "アンインストールの開始",
         {"スタートメニューを削除 : check box checked", "ゲーム本体を削除 : check box checked disabled",
          "セーブデータを削除 : check box checked", "※すべてにチェックが付いているとフォルダ全体を : label",
          "削除します : label", "アンインストールの開始 : default button", "キャンセル : button"},
         {"スタートメニューを削除", "セーブデータを削除", "アンインストールの開始", "キャンセル"}},
        {CopyForm, "インストールの経過", "",
         {"コピーしています : label", " : progress bar", "全体の進行度 : label", " : progress bar", " : panel",
          " : picture hidden", " : media player hidden", "キャンセル : button"},
         {"キャンセル"}},
    };
    // Places taken on purpose. The install and Start-menu removal buttons are the two faces of one
    // row; the demo box's frame starts on the sound box's last column and runs far past the edge,
    // both captions well clear; the media player is never shown, its movie plays in the panel.
    const std::vector<Allowance> allowed = {
        {MainForm->BtInstall.Handle(), MainForm->BtDelStart.Handle(), 25},
        {InstallForm->CbWithSound.Handle(), InstallForm->CbMovie.Handle(), 1},
        {InstallForm->CbMovie.Handle(), nullptr, 153},
        {CopyForm->MediaPlayer.Handle(), nullptr, 157},
        // The picture is laid out from the panel's outer corner: one pixel in from the inside's
        // edge, it reaches one pixel past the other.
        {CopyForm->Image.Handle(), nullptr, 1},
    };
    EXPECT_TRUE(app.Title() == "インストーラ") << app.Title();
    EXPECT_TRUE(::IsWindowVisible(MainForm->Handle()));
    EXPECT_EQ(::GetParent(CopyForm->Image.Handle()), CopyForm->Panel.Handle());
    for (const Window& window : expected) {
        SCOPED_TRACE(window.caption);
        const HWND hwnd = window.form->Handle();
        EXPECT_TRUE(window.form->Caption() == window.caption) << "captioned " << window.form->Caption();
        RECT client{};
        ::GetClientRect(hwnd, &client);
        EXPECT_EQ(std::pair(client.right, client.bottom), std::pair(272L, 216L));
        std::vector<std::string> seen, controls = window.controls;
        CheckControls(hwnd, allowed, seen);
        std::sort(seen.begin(), seen.end()), std::sort(controls.begin(), controls.end());
        EXPECT_TRUE(seen == controls) << Join(seen) << "\n  instead of " << Join(controls);
        const LRESULT id = ::SendMessageW(hwnd, DM_GETDEFID, 0, 0);
        const std::string enter =
            HIWORD(id) == DC_HASDEFID ? toolkit::WindowCaption(::GetDlgItem(hwnd, LOWORD(id))) : std::string();
        EXPECT_TRUE(enter == window.enterPresses) << "Enter presses [" << enter << "]";
        if (window.form == MainForm) {
            for (HWND button : Children(hwnd)) ::EnableWindow(button, TRUE);  // so that each takes its turn
        } else {  // the dialogs belong to the main window and wait until they are shown
            EXPECT_EQ(::GetWindow(hwnd, GW_OWNER), MainForm->Handle());
            EXPECT_FALSE(::IsWindowVisible(hwnd));
        }
        const std::vector<std::string> walk = TabWalk(app, *window.form);
        EXPECT_TRUE(walk == window.tabWalk) << "Tab walks " << Join(walk) << "\n  instead of " << Join(window.tabWalk);
    }
}

}  // namespace
