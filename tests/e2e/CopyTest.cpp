// The copy window as a player meets it: from the main menu's install button through the destination
// dialog into the copy, and every way the copy ends.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "MenuScenario.h"
#include "driver/Driver.h"
#include "util/Cp932.h"
#include "util/File.h"

namespace {

using e2e::menu::Install;

constexpr unsigned long long kHuge = 4ull * 1024 * 1024 * 1024 + 1024 * 1024 + 5;  // copy_huge's huge.dat
constexpr int kMiB = 1024 * 1024;

std::wstring Wide(const std::string& path) { return cp932::ToWideLossy(path); }

std::optional<WIN32_FILE_ATTRIBUTE_DATA> Attributes(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return data;
}

unsigned long long SizeOf(const WIN32_FILE_ATTRIBUTE_DATA& data)
{
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool SameWriteTime(const WIN32_FILE_ATTRIBUTE_DATA& a, const WIN32_FILE_ATTRIBUTE_DATA& b)
{
    return ::CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

// The entries of a disc's file list, in order.
std::vector<std::string> Entries(const std::string& disc)
{
    const std::string ini = e2e::Disc(disc) + "\\Setup.ini";
    const int count = std::stoi(e2e::IniValue(ini, "Files", "Count").value_or("0"));
    std::vector<std::string> entries;
    for (int n = 1; n <= count; ++n) entries.push_back(e2e::IniValue(ini, "Files", "File" + std::to_string(n)).value_or(""));
    return entries;
}

// After the last backslash, by whole characters: UTF-16 never mistakes a trail byte for one.
std::string LastName(const std::string& entry)
{
    const std::wstring wide = Wide(entry);
    return cp932::FromWideLossy(wide.substr(wide.find_last_of(L'\\') + 1));
}

bool SoundEntry(const std::string& entry)
{
    std::string name = LastName(entry).substr(0, 3);
    for (char& c : name) c = static_cast<char>(c | 0x20);
    return name == "wav";
}

// A question that the destination dialog's own checks may ask: answered if it comes before `past`.
void AnswerIfAsked(const e2e::Process& setup, const std::string& text, int button,
                   const std::function<bool()>& past = [] { return false; })
{
    const DWORD until = ::GetTickCount() + 1500;
    while (::GetTickCount() < until && !past()) {
        for (const e2e::Window& window : e2e::FindWindows("", "#32770", setup.Id())) {
            const e2e::MsgBox box(window.Handle());
            if (box.Text() == text) return box.Press(button);
        }
        ::Sleep(20);
    }
}

// The copy window of `setup`, shown or not.
e2e::Window CopyWindow(const e2e::Process& setup)
{
    HWND found = nullptr;
    e2e::WaitUntil(
        [&] {
            for (HWND h = ::FindWindowW(L"TCopyForm", nullptr); h; h = ::FindWindowExW(nullptr, h, L"TCopyForm", nullptr))
                if (e2e::Window(h).ProcessId() == setup.Id()) found = h;
            return found != nullptr;
        },
        "the copy window");
    return e2e::Window(found);
}

e2e::Process StartClean(const std::string& disc)
{
    e2e::menu::ClearRecord();
    return e2e::menu::StartFromDisc(disc);
}

struct Options {
    bool sound = true;
    bool movie = false;
};

// Starts Setup.exe from `disc`, goes through the destination dialog into `destination` (whose last
// level is the game's folder name) and leaves the copy running.
struct Installation {
    Installation(const std::string& disc, const std::string& destination, Options options)
        : setup(StartClean(disc)), menu(setup.WaitWindow("インストーラ", "TMainForm")), copy(nullptr)
    {
        menu.Click(Install);
        const e2e::Window dialog = setup.WaitWindow("インストール先の指定");
        dialog.Child("Edit").SetText(destination);
        const e2e::Control sound = dialog.Button("音声・ＢＧＭもインストール");
        if (sound.Checked() != options.sound) {
            sound.SetChecked(options.sound);
            AnswerIfAsked(setup, "ゲームの動作が非常に遅くなる可能性がありますので\nお勧めいたしません", IDOK);
        }
        const e2e::Control movie = dialog.Button("デモを再生する");
        if (movie.Checked() != options.movie) movie.SetChecked(options.movie);
        copy = CopyWindow(setup);
        dialog.Click("インストールの開始");
        AnswerIfAsked(setup, "すでにフォルダが存在します\n上書きしますか？", IDYES,
                      [this] { return ::IsWindowVisible(copy.Handle()) != FALSE; });
    }
    // The box that ends the installation. It stays until Exit: what a cancelled installation leaves
    // is looked at before anything is rolled back.
    void Ends(const std::string& text, e2e::Icon icon)
    {
        end.emplace(setup.WaitMessageBox("Setup.exe", 120000));
        EXPECT_EQ(end->Text(), text);
        EXPECT_EQ(end->GetIcon(), icon);
    }
    void Exit()
    {
        if (end) end->Press(IDOK);
        menu.Click(e2e::menu::Exit);
        EXPECT_EQ(setup.WaitExit(), 0u);
        e2e::menu::ClearRecord();
    }
    e2e::Control Label() const { return copy.Child("Static", 0); }
    e2e::Control PbCopy() const { return copy.Child("msctls_progress32", 0); }
    e2e::Control PbTotal() const { return copy.Child("msctls_progress32", 1); }
    e2e::Control Panel() const { return copy.Child("Static", 2); }

    e2e::Process setup;
    e2e::Window menu;
    e2e::Window copy;
    std::optional<e2e::MsgBox> end;
};

// A message box out of the way of the panel, so that the panel can be seen.
void MoveAside(const e2e::MsgBox& box)
{
    ::SetWindowPos(box.Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    e2e::WaitScreenStill(500);
}

e2e::Image PanelPicture(const e2e::Control& panel)
{
    RECT rect{};
    ::GetWindowRect(panel.Handle(), &rect);
    std::optional<e2e::Image> image = e2e::CaptureScreen(rect);
    if (!image) e2e::Fail("cannot capture the panel");
    return *image;
}

std::string Folder(const std::string& scenario)
{
    const std::string parent = e2e::BuildFolder() + "\\e2e-copy\\" + scenario;
    e2e::RemoveTree(parent);
    e2e::MakeFolders(parent);
    return parent + "\\MihonGame";
}

// The drive given by the test environment, or nothing (the scenario is then skipped).
std::optional<std::string> Drive(const char* variable)
{
    const std::string drive = e2e::EnvironmentValue(variable);
    if (drive.empty()) return std::nullopt;
    e2e::RemoveTree(drive + "\\MihonGame");
    return drive + "\\MihonGame";
}

TEST(Copy, EveryFileArrivesWholeStampedUnderItsStoredNameWithoutTheSoundData)
{
    const std::string to = Folder("all");
    Installation install("copy_all", to, {false, false});
    install.Ends("インストールしました", e2e::Icon::Information);

    unsigned long long expectedKB = 0;
    for (const std::string& entry : Entries("copy_all")) {
        const std::string source = e2e::Disc("copy_all") + "\\" + entry;
        const std::string copy = to + "\\" + LastName(entry);
        if (SoundEntry(entry)) {
            EXPECT_FALSE(e2e::PathExists(copy)) << entry;
            continue;
        }
        const auto from = Attributes(source);
        const auto made = Attributes(copy);
        ASSERT_TRUE(from && made) << copy;
        expectedKB += SizeOf(*from) / 1024;
        EXPECT_TRUE(SameWriteTime(*from, *made)) << copy;
        EXPECT_EQ(ReadWholeFile(copy, 16 * kMiB), ReadWholeFile(source, 16 * kMiB)) << copy;
    }
    // Stored names: the last level only, and ソ (second byte 0x5C) kept whole.
    EXPECT_TRUE(e2e::PathExists(to + "\\a.dat"));
    EXPECT_TRUE(e2e::PathExists(to + "\\ソフト.txt"));
    EXPECT_FALSE(e2e::PathExists(to + "\\フト.txt"));
    EXPECT_FALSE(e2e::PathExists(to + "\\data"));
    EXPECT_EQ(SizeOf(*Attributes(to + "\\empty.dat")), 0u);
    EXPECT_TRUE(e2e::PathExists(to + "\\bgm.wav"));

    // The last file, data\three.dat of 3,000,000 bytes, fills its bar; the overall bar ends full at the
    // sum of size div 1024.
    EXPECT_EQ(install.Label().Text(), "three.datをコピーしています");
    EXPECT_EQ(install.PbCopy().ProgressRange(), (e2e::Range{0, 3000000}));
    EXPECT_EQ(install.PbCopy().ProgressPosition(), 3000000);
    EXPECT_EQ(install.PbTotal().ProgressRange(), (e2e::Range{0, static_cast<int>(expectedKB)}));
    EXPECT_EQ(install.PbTotal().ProgressPosition(), static_cast<int>(expectedKB));
    // No movie: the wallpaper.
    EXPECT_TRUE(install.copy.Child("SetupPicture").StyleVisible());
    install.Exit();
    e2e::RemoveTree(to);
}

TEST(Copy, ABrokenWallpaperIsReportedAndAMissingSourceEndsTheCopy)
{
    const std::string to = Folder("badwall");
    const std::string moved = e2e::Disc("copy_badwall") + "\\data\\ソフト.txt";
    Installation install("copy_badwall", to, {true, false});
    auto picture = install.setup.WaitMessageBox("インストーラ");
    EXPECT_EQ(picture.GetIcon(), e2e::Icon::Error);
    // The copy starts after OK: the source goes missing in between.
    ASSERT_TRUE(::MoveFileW(Wide(moved).c_str(), Wide(moved + ".away").c_str()));
    struct PutBack {
        std::wstring from, to;
        ~PutBack() { ::MoveFileW(from.c_str(), to.c_str()); }
    } putBack{Wide(moved + ".away"), Wide(moved)};
    picture.Press(IDOK);
    auto box = install.setup.WaitMessageBox(moved);
    EXPECT_EQ(box.Text(), "ファイルが開けません");
    EXPECT_EQ(box.GetIcon(), e2e::Icon::Error);
    box.Press(IDOK);
    install.Ends("中止しました", e2e::Icon::Error);
    EXPECT_TRUE(e2e::PathExists(to + "\\empty.dat"));
    EXPECT_FALSE(e2e::PathExists(to + "\\ソフト.txt"));
    EXPECT_FALSE(e2e::PathExists(to + "\\three.dat"));
    install.Exit();
    e2e::RemoveTree(to);
}

struct Refusal {
    const char* name;
    int folderBytes;      // the destination folder's length; 0 for a short one
    bool folderInTheWay;  // a folder named game.exe waits in the destination
};

class CopyRefused : public testing::TestWithParam<Refusal> {};

TEST_P(CopyRefused, ADestinationThatCannotBeCreatedEndsTheCopyWithTheWallpaperShown)
{
    const Refusal& row = GetParam();
    std::string to = Folder(row.name);
    if (row.folderBytes > 0) {
        const std::string parent = to.substr(0, to.size() - std::string("\\MihonGame").size());
        to = parent + "\\" + std::string(static_cast<size_t>(row.folderBytes) - parent.size() - 11, 'x') + "\\MihonGame";
        e2e::MakeFolders(to.substr(0, to.size() - 10));
    }
    if (row.folderInTheWay) e2e::MakeFolders(to + "\\game.exe");
    // The first file that cannot be created: game.exe in the way, or the read-me past 259 bytes.
    const std::string refused = to + (row.folderInTheWay ? "\\game.exe" : "\\お読み下さい.txt");
    ASSERT_TRUE(row.folderBytes == 0 || refused.size() > 259) << refused.size();

    Installation install("copy_all", to, {true, false});
    auto box = install.setup.WaitMessageBox(refused);
    EXPECT_EQ(box.Text(), "ファイルが作成できません");
    EXPECT_EQ(box.GetIcon(), e2e::Icon::Error);
    // The copy window stays while it asks, with the wallpaper in its panel: a sun and a sky.
    MoveAside(box);
    const e2e::Image panel = PanelPicture(install.Panel());
    bool sun = false;
    bool sky = false;
    for (size_t i = 0; i + 2 < panel.rgb.size(); i += 3) {
        const int r = panel.rgb[i], g = panel.rgb[i + 1], b = panel.rgb[i + 2];
        sun = sun || (r > 220 && g > 180 && b < 100);
        sky = sky || (b > 150 && r < 120);
    }
    EXPECT_TRUE(sun && sky);
    box.Press(IDOK);
    install.Ends("中止しました", e2e::Icon::Error);
    install.Exit();
    e2e::RemoveTree(e2e::BuildFolder() + "\\e2e-copy\\" + row.name);
}

INSTANTIATE_TEST_SUITE_P(Endings, CopyRefused,
                         testing::Values(Refusal{"in_the_way", 0, true}, Refusal{"too_long", 250, false}),
                         [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST(Copy, AFullDiskEndsWithAWriteError)
{
    const auto to = Drive("SETUP_SMALL_DRIVE");
    if (!to) GTEST_SKIP() << "SETUP_SMALL_DRIVE is not set";
    Installation install("copy_full", *to, {true, false});
    auto box = install.setup.WaitMessageBox(*to + "\\big.dat");
    EXPECT_EQ(box.Text(), "書き込みエラー");
    EXPECT_EQ(box.GetIcon(), e2e::Icon::Error);
    box.Press(IDOK);
    install.Ends("中止しました", e2e::Icon::Error);
    EXPECT_TRUE(e2e::PathExists(*to + "\\s349.dat"));
    install.Exit();
    e2e::RemoveTree(*to);
}

// Waits until the huge file is being copied, then presses Cancel: the question comes at the next block.
e2e::MsgBox CancelDuringTheHugeFile(const Installation& install)
{
    e2e::WaitUntil([&] { return install.Label().Text() == "huge.datをコピーしています"; }, "the huge file's turn");
    install.copy.Click("キャンセル");
    auto box = install.setup.WaitMessageBox("Setp.exe");
    EXPECT_EQ(box.Text(), "本当に中止してもよろしいですか？");
    EXPECT_EQ(box.GetIcon(), e2e::Icon::Error);
    EXPECT_EQ(box.ButtonIds(), (std::vector<int>{IDYES, IDNO}));
    const e2e::Control no = box.ById(IDNO);
    EXPECT_EQ(::GetWindowLongW(no.Handle(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    return box;
}

TEST(Copy, TheMovieLoopsWhileAskingAndNoOrTheCloseBoxCopiesAFileOverFourGiBWhole)
{
    const auto to = Drive("SETUP_LARGE_DRIVE");
    if (!to) GTEST_SKIP() << "SETUP_LARGE_DRIVE is not set";
    Installation install("copy_huge", *to, {true, true});
    auto box = CancelDuringTheHugeFile(install);
    MoveAside(box);
    // The movie goes on in the panel while the question waits.
    const e2e::Image first = PanelPicture(install.Panel());
    bool moved = false;
    for (int i = 0; i < 10 && !moved; ++i) {
        ::Sleep(200);
        moved = PanelPicture(install.Panel()).rgb != first.rgb;
    }
    EXPECT_TRUE(moved);
    box.Press(IDNO);
    // Neither does the title bar's close box stop the copy.
    install.copy.Close();
    install.Ends("インストールしました", e2e::Icon::Information);

    const auto from = Attributes(e2e::Disc("copy_huge") + "\\data\\huge.dat");
    const auto made = Attributes(*to + "\\huge.dat");
    ASSERT_TRUE(from && made);
    EXPECT_EQ(SizeOf(*made), kHuge);
    EXPECT_TRUE(SameWriteTime(*from, *made));
    // Past the bar's 32-bit range: counted in MiB, and full at the end.
    const int units = static_cast<int>(kHuge >> 20);
    EXPECT_EQ(install.PbCopy().ProgressRange(), (e2e::Range{0, units}));
    EXPECT_EQ(install.PbCopy().ProgressPosition(), units);
    EXPECT_EQ(install.PbTotal().ProgressPosition(), install.PbTotal().ProgressRange().high);
    EXPECT_TRUE(e2e::PathExists(*to + "\\wavse.wav"));
    install.Exit();
    e2e::RemoveTree(*to);
}

TEST(Copy, YesEndsTheCopyAndLeavesThePartialFile)
{
    const auto to = Drive("SETUP_LARGE_DRIVE");
    if (!to) GTEST_SKIP() << "SETUP_LARGE_DRIVE is not set";
    Installation install("copy_huge", *to, {true, false});
    CancelDuringTheHugeFile(install).Press(IDYES);
    install.Ends("中止しました", e2e::Icon::Error);
    const auto source = Attributes(e2e::Disc("copy_huge") + "\\data\\huge.dat");
    const auto partial = Attributes(*to + "\\huge.dat");
    ASSERT_TRUE(source && partial);
    EXPECT_LT(SizeOf(*partial), kHuge);
    EXPECT_EQ(SizeOf(*partial) % kMiB, 0u);
    EXPECT_FALSE(SameWriteTime(*source, *partial));
    // What was copied before stays, stamped.
    const auto demo = Attributes(*to + "\\demo.avi");
    ASSERT_TRUE(demo);
    EXPECT_TRUE(SameWriteTime(*demo, *Attributes(e2e::Disc("copy_huge") + "\\demo.avi")));
    install.Exit();
    e2e::RemoveTree(*to);
}

TEST(Copy, AMovieThatCannotBeOpenedIsReportedOnceAndTheCopyGoesOn)
{
    const std::string to = Folder("badmovie");
    Installation install("copy_badmovie", to, {true, true});
    auto box = install.setup.WaitMessageBox("インストーラ");
    EXPECT_EQ(box.GetIcon(), e2e::Icon::Error);
    box.Press(IDOK);
    install.Ends("インストールしました", e2e::Icon::Information);
    EXPECT_TRUE(e2e::FindWindows("インストーラ", "#32770", install.setup.Id()).empty());
    EXPECT_TRUE(e2e::PathExists(to + "\\bigdata.dat"));
    install.Exit();
    e2e::RemoveTree(to);
}

}  // namespace
