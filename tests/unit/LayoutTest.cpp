// The four windows as built from their layout tables: places, captions, classes, states, tab order,
// font and client size.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/MainForm.h"
#include "app/MainLayout.h"
#include "forms/CopyForm.h"
#include "forms/CopyLayout.h"
#include "forms/InstallForm.h"
#include "forms/InstallLayout.h"
#include "forms/UninstForm.h"
#include "forms/UninstLayout.h"
#include "toolkit/Application.h"
#include "toolkit/Person.h"
#include "util/Cp932.h"

namespace {

struct SilentPerson : ScriptedPerson {
    SilentPerson() { SetScriptedPerson(this); }
    ~SilentPerson() override { SetScriptedPerson(nullptr); }
    int AnswerMessageBox(HWND, const std::string&, const std::string&, UINT) override { return IDOK; }
    std::optional<std::string> AnswerFolderBrowser(HWND, const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
};

std::wstring ClassOf(HWND hwnd)
{
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

const wchar_t* ExpectedClass(toolkit::Kind kind)
{
    switch (kind) {
    case toolkit::Kind::Button:
    case toolkit::Kind::CheckBox:
    case toolkit::Kind::RadioButton:
        return L"Button";
    case toolkit::Kind::Label:
    case toolkit::Kind::Panel:
        return L"Static";
    case toolkit::Kind::Edit:
        return L"Edit";
    case toolkit::Kind::ProgressBar:
        return L"msctls_progress32";
    case toolkit::Kind::Picture:
        return L"SetupPicture";
    case toolkit::Kind::MediaPlayer:
        return L"SetupMediaPlayer";
    }
    return L"";
}

// Checks every row of `layout` against the window `form` built from it.
void CheckForm(const toolkit::Form& form, const toolkit::FormLayout& layout)
{
    SCOPED_TRACE(layout.className);
    HWND hwnd = form.Handle();
    EXPECT_EQ(ClassOf(hwnd), cp932::ToWideLossy(layout.className));
    RECT client{};
    ::GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, layout.clientWidth);
    EXPECT_EQ(client.bottom, layout.clientHeight);

    // Children in window order, which is the order Tab walks.
    std::vector<HWND> tabStops;
    std::vector<HWND> made;
    for (const auto& row : layout) {
        SCOPED_TRACE(row.name);
        const int id = 100 + static_cast<int>(&row - layout.begin());
        HWND parent = row.parent == toolkit::kNoParent ? hwnd : ::GetDlgItem(hwnd, 100 + row.parent);
        HWND control = ::GetDlgItem(parent, id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ClassOf(control), ExpectedClass(row.kind));
        RECT rect{};
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, row.left);
        EXPECT_EQ(rect.top, row.top);
        EXPECT_EQ(rect.right - rect.left, row.width);
        EXPECT_EQ(rect.bottom - rect.top, row.height);
        const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
        // The main form's show handler may have changed its buttons; the dialogs are as laid out.
        if (std::string(layout.className) != "TMainForm") {
            const bool visible = !(row.flags & toolkit::flag::kHidden) && row.kind != toolkit::Kind::MediaPlayer;
            EXPECT_EQ((style & WS_VISIBLE) != 0, visible);
            EXPECT_EQ((style & WS_DISABLED) != 0, (row.flags & toolkit::flag::kDisabled) != 0);
            wchar_t text[256] = {};
            ::GetWindowTextW(control, text, 256);
            EXPECT_EQ(cp932::FromWideLossy(text), row.caption);
        }
        if (row.kind == toolkit::Kind::CheckBox || row.kind == toolkit::Kind::RadioButton) {
            EXPECT_EQ(::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED,
                      (row.flags & toolkit::flag::kChecked) != 0);
        }
        if (row.kind == toolkit::Kind::Button) {
            EXPECT_EQ((style & 0x0F) == BS_DEFPUSHBUTTON, (row.flags & toolkit::flag::kDefault) != 0);
        }
        // The font every form's text uses: ＭＳ Ｐゴシック, 12 pixels, Shift-JIS.
        if (row.kind == toolkit::Kind::Picture || row.kind == toolkit::Kind::MediaPlayer) continue;
        LOGFONTW font{};
        ASSERT_NE(::GetObjectW(reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)),
                               sizeof(font), &font),
                  0);
        EXPECT_EQ(cp932::FromWideLossy(font.lfFaceName), toolkit::kFontFace);
        EXPECT_EQ(font.lfHeight, -toolkit::kFontHeight);
        EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
    }
    std::vector<int> tabOrders;
    for (HWND child = ::GetWindow(hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const auto& row = layout.controls[::GetDlgCtrlID(child) - 100];
        if (row.tabOrder != toolkit::kNoTabOrder) tabOrders.push_back(row.tabOrder);
    }
    EXPECT_TRUE(std::is_sorted(tabOrders.begin(), tabOrders.end()));
}

TEST(Layouts, EveryFormIsBuiltAsItsTableSays)
{
    SilentPerson person;  // no Setup.ini beside the test program: the main form says so
    {
        testsupport::ProgramWindows windows;
        toolkit::Application& app = windows.App();
        CheckForm(*MainForm, forms::kMainLayout);
        CheckForm(*InstallForm, forms::kInstallLayout);
        CheckForm(*UninstForm, forms::kUninstLayout);
        CheckForm(*CopyForm, forms::kCopyLayout);
        EXPECT_EQ(app.Title(), "インストーラ");
        EXPECT_EQ(MainForm->Caption(), "インストーラ");
        EXPECT_EQ(InstallForm->Caption(), "インストール先の指定");
        EXPECT_EQ(CopyForm->Caption(), "インストールの経過");
        EXPECT_EQ(UninstForm->Caption(), "アンインストールオプション");
        // The dialogs belong to the main window and wait until they are shown.
        for (toolkit::Form* dialog : std::initializer_list<toolkit::Form*>{InstallForm, UninstForm, CopyForm}) {
            EXPECT_EQ(::GetWindow(dialog->Handle(), GW_OWNER), MainForm->Handle());
            EXPECT_FALSE(::IsWindowVisible(dialog->Handle()));
        }
        EXPECT_TRUE(::IsWindowVisible(MainForm->Handle()));
        // The image panel is the picture's parent.
        EXPECT_EQ(::GetParent(CopyForm->Image.Handle()), CopyForm->Panel.Handle());
    }
}

}  // namespace
