// The install destination dialog, reached from the main menu's install button: default state, sizes,
// free space, options, the checks of its install button and the folder browser.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "MenuScenario.h"
#include "driver/Driver.h"
#include "util/Cp932.h"

namespace {

using namespace e2e::menu;

constexpr const char* kStart = "インストールの開始";
constexpr const char* kCancel = "キャンセル";
constexpr const char* kWithSound = "音声・ＢＧＭもインストール";
constexpr const char* kMovie = "デモを再生する";
constexpr const char* kNameCheck = "少なくともゲーム名のフォルダは作られます";
constexpr const char* kNoSpace = "空き容量が不足しています";
// The fixture maps U: to an empty tmpfs of 3 MiB.
constexpr const char* kTmpfsGame = "U:\\MihonGame";

struct Dialog {
    e2e::Process setup;
    e2e::Window menu;
    e2e::Window form{nullptr};

    void Open()
    {
        menu.Click(Install);
        form = setup.WaitWindow("インストール先の指定", "TInstallForm");
    }
    e2e::Control Edit() const { return form.Child("Edit"); }
    std::string Label(int index) const { return form.Child("Static", index).Text(); }
    // Sets the destination, presses the install button and returns the message box it shows.
    e2e::MsgBox Press(const std::string& destination) const
    {
        Edit().SetText(destination);
        form.Click(kStart);
        return setup.WaitMessageBox("Setup.exe");
    }
    void ExpectOpen() const
    {
        ::Sleep(300);
        EXPECT_TRUE(form.Visible()) << e2e::TopLevelListing();
        EXPECT_FALSE(menu.Enabled());
    }
    void ExpectClosed() const
    {
        form.WaitGone();
        e2e::WaitUntil([this] { return menu.Enabled(); }, "the main menu enabled again");
    }
    // The dialog accepted `destination`, made beforehand, so that the installation that follows stops
    // at the question about an existing folder, and nothing is copied.
    void ExpectAccepted(const std::string& destination) const
    {
        auto question = setup.WaitMessageBox("Setup.exe");
        EXPECT_EQ(question.Text(), "すでにフォルダが存在します\n上書きしますか？");
        question.Press(IDNO);
        ExpectClosed();
        ::RemoveDirectoryW(cp932::ToWideLossy(destination).c_str());
        ::RemoveDirectoryW(cp932::ToWideLossy(destination.substr(0, destination.rfind('\\'))).c_str());
    }
    void Quit() const
    {
        menu.Click(Exit);
        EXPECT_EQ(setup.WaitExit(), 0u);
    }
};

Dialog Start(const std::string& disc)
{
    ClearRecord();
    auto setup = StartFromDisc(disc);
    auto menu = setup.WaitWindow("インストーラ", "TMainForm");
    Dialog d{std::move(setup), menu};
    d.Open();
    return d;
}

std::string Free(int mb) { return "空き容量：" + std::to_string(mb) + " ＭＢ"; }
std::string Size(int mb) { return "インストール容量：" + std::to_string(mb) + " ＭＢ"; }

void ExpectBox(const e2e::MsgBox& box, const std::string& text, e2e::Icon icon, std::vector<int> buttons = {IDOK})
{
    EXPECT_EQ(box.Text(), text);
    EXPECT_EQ(box.GetIcon(), icon) << text;
    EXPECT_EQ(box.ButtonIds(), buttons) << text;
}

void Key(const e2e::Control& control, WPARAM key)
{
    ::PostMessageW(control.Handle(), WM_KEYDOWN, key, 0);
    ::PostMessageW(control.Handle(), WM_KEYUP, key, 0);
}

TEST(InstallDialog, DefaultsKeysAndTheDemoBox)
{
    auto d = Start("base");
    EXPECT_EQ(d.form.Owner(), d.menu.Handle());
    EXPECT_EQ(d.Edit().Text(), "C:\\MihonGame");
    EXPECT_TRUE(d.Edit().Focused());
    EXPECT_TRUE(d.form.Button(kWithSound).Checked());
    EXPECT_TRUE(d.form.Button(kMovie).StyleVisible() && d.form.Button(kMovie).Checked());
    EXPECT_FALSE(d.form.Button("非圧縮音声").StyleVisible());
    // The size label grows with its text.
    EXPECT_EQ(d.Label(2).rfind("インストール容量：", 0), 0u) << d.Label(2);
    EXPECT_GT(d.form.Child("Static", 2).Place().width, 87);

    d.Edit().SetText("");
    d.Edit().Type(kTmpfsGame);
    e2e::WaitUntil([&] { return d.Label(1) == Free(3); }, "typing shows the tmpfs drive's free space");
    Key(d.Edit(), VK_ESCAPE);
    d.ExpectOpen();
    // Unchecked by hand, the demo box is checked again by the next showing; the close box cancels.
    d.form.Button(kMovie).SetChecked(false);
    d.form.Close();
    d.ExpectClosed();
    d.Open();
    EXPECT_TRUE(d.form.Button(kMovie).Checked());
    EXPECT_EQ(d.Edit().Text(), "C:\\MihonGame");
    // Enter presses the install button, and the default destination passes every check.
    ASSERT_TRUE(e2e::MakeFolders("C:\\MihonGame"));
    Key(d.Edit(), VK_RETURN);
    d.ExpectAccepted("C:\\MihonGame");
    d.Quit();
}

TEST(InstallDialog, SoundOptionSizesAndFreeSpace)
{
    auto d = Start("sizes_floor");
    EXPECT_FALSE(d.form.Button(kMovie).StyleVisible() || d.form.Button(kMovie).Checked());
    // 2046 KB + 1024 bytes + 2 x 1023 bytes, and 1024 KB of sound data: 3071 KB.
    EXPECT_EQ(d.Label(2), Size(2));
    d.form.Button(kWithSound).Click();
    auto advice = d.setup.WaitMessageBox("Setup.exe");
    ExpectBox(advice, "ゲームの動作が非常に遅くなる可能性がありますので\nお勧めいたしません", e2e::Icon::Information);
    advice.Press(IDOK);
    EXPECT_EQ(d.Label(2), Size(1));
    // The radio buttons are disabled once the advice has been read.
    e2e::WaitUntil([&] { return !d.form.Button("圧縮音声").Enabled() && !d.form.Button("非圧縮音声").Enabled(); },
                   "the radio buttons disabled");
    // Unchecked, the choice outlives Cancel and the next showing.
    d.form.Click(kCancel);
    d.ExpectClosed();
    d.Open();
    EXPECT_FALSE(d.form.Button(kWithSound).Checked());
    EXPECT_EQ(d.Label(2), Size(1));
    d.form.Button(kWithSound).SetChecked(true);
    e2e::WaitUntil([&] { return d.Label(2) == Size(2); }, "the sound data counted again");
    EXPECT_TRUE(e2e::FindWindows("Setup.exe", "#32770", d.setup.Id()).empty()) << "checking asks nothing";
    EXPECT_TRUE(d.form.Button("非圧縮音声").Enabled());

    // Free space equal to the 2 MB required is too little, and so is a network path's 0; 3 MB pass.
    const wchar_t* filler = L"U:\\filler.bin";
    HANDLE file = ::CreateFileW(filler, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::vector<char> bytes(1024 * 1024, 'x');
    DWORD written = 0;
    EXPECT_TRUE(::WriteFile(file, bytes.data(), 1024 * 1024, &written, nullptr));
    ::CloseHandle(file);
    const std::pair<const char*, int> tooLittle[] = {{kTmpfsGame, 2}, {"\\\\server\\share\\MihonGame", 0}};
    for (const auto& [destination, free] : tooLittle) {
        auto box = d.Press(destination);
        EXPECT_EQ(d.Label(1), Free(free));
        ExpectBox(box, kNoSpace, e2e::Icon::Error);
        box.Press(IDOK);
        d.ExpectOpen();
    }
    ::DeleteFileW(filler);
    ASSERT_TRUE(e2e::MakeFolders(kTmpfsGame));
    d.Edit().SetText(kTmpfsGame);
    EXPECT_EQ(d.Label(1), Free(3));
    d.form.Click(kStart);
    d.ExpectAccepted(kTmpfsGame);
    d.Quit();
}

TEST(InstallDialog, ProgramFilesNameCheckAndFolderBrowser)
{
    auto d = Start("base");
    const char* question =
        "もし Windows Vista であればこのフォルダでは正常に動作いたしません\nインストールしてよろしいですか？";
    // Destination, whether it is asked about, and what the name check then makes of it.
    const std::pair<std::string, std::string> rows[] = {
        {"C:\\Program Files\\Game", ""},
        {"C:\\PROGRAM FILES", ""},
        {"C:\\Program Files (x86)\\Game", "C:\\Program Files (x86)\\Game\\MihonGame"},
        {"c:\\Program Files\\Game", "c:\\Program Files\\Game\\MihonGame"},
        {"C:\\Games\\", "C:\\Games\\MihonGame"},
        {"", "C:\\MihonGame"},
    };
    for (const auto& [destination, named] : rows) {
        SCOPED_TRACE(destination);
        auto box = d.Press(destination);
        if (named.empty()) {
            ExpectBox(box, question, e2e::Icon::Question, {IDYES, IDNO});
            EXPECT_TRUE(box.Buttons().at(1).Focused()) << "No is the default";
            box.Press(IDNO);
        } else {
            ExpectBox(box, kNameCheck, e2e::Icon::Information);
            box.Press(IDOK);
        }
        d.ExpectOpen();
        EXPECT_EQ(d.Edit().Text(), named.empty() ? destination : named);
    }
    // A character with no code-page-932 form is reported, never read as '?'.
    ::SendMessageW(d.Edit().Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"C:\\\xD55C\\MihonGame"));
    EXPECT_EQ(d.Label(1), Free(0));
    d.form.Click(kStart);
    auto box = d.setup.WaitMessageBox("Setup.exe");
    ExpectBox(box, "インストール先に使えない文字が含まれています", e2e::Icon::Error);
    box.Press(IDOK);

    // The browser opens at the destination; cancelling it changes nothing, OK appends the game's
    // folder, after a drive root with one backslash.
    const std::tuple<const char*, int, std::string> browsed[] = {
        {"U:\\", IDCANCEL, "U:\\"}, {"C:\\", IDOK, "C:\\MihonGame"}, {"C:\\windows", IDOK, "C:\\windows\\MihonGame"}};
    for (const auto& [folder, button, after] : browsed) {
        d.Edit().SetText(folder);
        d.form.Click("インストール先の変更");
        auto browser = d.setup.WaitWindow("", "#32770");
        EXPECT_EQ(browser.Owner(), d.form.Handle());
        EXPECT_NE(browser.Listing().find("インストール先を指定して下さい"), std::string::npos);
        ::Sleep(1000);  // the browser selects the initial folder after it appears
        ::PostMessageW(browser.Handle(), WM_COMMAND, button, 0);
        browser.WaitGone();
        const std::string expected = after;
        e2e::WaitUntil([&] { return d.Edit().Text() == expected; }, "browsed: " + expected);
    }
    // Yes to the question goes on to the other checks, which this destination passes.
    ASSERT_TRUE(e2e::MakeFolders("C:\\Program Files\\MihonGame"));
    d.Press("C:\\Program Files\\MihonGame").Press(IDYES);
    d.ExpectAccepted("C:\\Program Files\\MihonGame");
    d.Quit();

    // ソ ends in the byte 0x5C, which is no backslash: the game's folder still goes after a separator.
    e2e::InstallRecord::Remove("ソフト見本");
    auto j = Start("installdir_5c");
    EXPECT_EQ(j.Edit().Text(), "C:\\ソフト見本");
    j.Press("C:\\Gamesソ").Press(IDOK);
    EXPECT_EQ(j.Edit().Text(), "C:\\Gamesソ\\ソフト見本");
    ASSERT_TRUE(e2e::MakeFolders("C:\\Gamesソ\\ソフト見本"));
    j.form.Click(kStart);
    j.ExpectAccepted("C:\\Gamesソ\\ソフト見本");
    j.Quit();
}

// Each disc makes the dialog close as cancelled as soon as it is shown, after the message it shows.
TEST(InstallDialog, DiscsThatCannotBeInstalledCloseTheDialog)
{
    struct Row {
        const char* disc;
        const char* missing;  // the file named in the message's title, or none
        bool programEnds;
    };
    const Row rows[] = {
        {"small_total", nullptr, false},
        {"empty_list", nullptr, false},
        {"missing_file", "data\\graphic.dat", false},
        {"missing_sound_data", "data\\wavse.dat", false},
        {"missing_sound_entry", "wavbgm.dat", true},
        {"device_entry", "NUL", false},  // a device is no file, whatever the disc holds
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.disc);
        ClearRecord();
        auto setup = StartFromDisc(row.disc);
        auto menu = setup.WaitWindow("インストーラ", "TMainForm");
        menu.Click(Install);
        if (row.missing) {
            auto box = setup.WaitMessageBox(e2e::Disc(row.disc) + "\\" + row.missing);
            ExpectBox(box, "ファイルが開けません", e2e::Icon::Error);
            box.Press(IDOK);
        }
        if (!row.programEnds) {
            e2e::WaitUntil([&] { return menu.Enabled(); }, "the main menu enabled again");
            EXPECT_TRUE(e2e::FindWindows("インストール先の指定", "", setup.Id()).empty());
            menu.Click(Exit);
        }
        EXPECT_EQ(setup.WaitExit(), 0u);
    }
}

}  // namespace
