// The driver against programs whose windows are known: the form fixture, its message boxes, and
// Wine's own Notepad.

#include <gtest/gtest.h>

#include <cstdint>

#include "driver/Driver.h"
#include "util/Cp932.h"

namespace {

std::string FormExe() { return e2e::ProgramFolder() + "\\e2e_form.exe"; }

std::string WorkFolder(const std::string& leaf)
{
    const std::string folder = e2e::BuildFolder() + "\\e2e-work\\" + leaf;
    EXPECT_TRUE(e2e::MakeFolders(folder)) << folder;
    return folder;
}

// ---- A PNG reader for the checks, written apart from the writer ----------------------------------

uint32_t BigEndian(const std::string& bytes, size_t at)
{
    return (uint32_t{static_cast<unsigned char>(bytes[at])} << 24) |
           (uint32_t{static_cast<unsigned char>(bytes[at + 1])} << 16) |
           (uint32_t{static_cast<unsigned char>(bytes[at + 2])} << 8) | uint32_t{static_cast<unsigned char>(bytes[at + 3])};
}

uint32_t BitwiseCrc(const std::string& bytes, size_t at, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = at; i < at + size; ++i) {
        crc ^= static_cast<unsigned char>(bytes[i]);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// Checks every chunk's CRC, the stored deflate blocks and the Adler-32 sum; the picture, or a failure.
testing::AssertionResult ReadPng(const std::string& png, e2e::Image& image)
{
    if (png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return testing::AssertionFailure() << "no PNG signature";
    std::string zlib;
    bool ended = false;
    for (size_t at = 8; at + 12 <= png.size() && !ended;) {
        const uint32_t size = BigEndian(png, at);
        if (at + 12 + size > png.size()) return testing::AssertionFailure() << "chunk past the end";
        const std::string type = png.substr(at + 4, 4);
        if (BitwiseCrc(png, at + 4, size + 4) != BigEndian(png, at + 8 + size))
            return testing::AssertionFailure() << "bad CRC in " << type;
        if (type == "IHDR") {
            image.width = BigEndian(png, at + 8);
            image.height = BigEndian(png, at + 12);
            if (png.compare(at + 16, 5, std::string("\x08\x02\x00\x00\x00", 5)) != 0)
                return testing::AssertionFailure() << "not 8-bit RGB";
        }
        if (type == "IDAT") zlib += png.substr(at + 8, size);
        ended = type == "IEND";
        at += 12 + size;
    }
    if (!ended) return testing::AssertionFailure() << "no IEND";
    if (zlib.size() < 6 || (static_cast<unsigned char>(zlib[0]) * 256 + static_cast<unsigned char>(zlib[1])) % 31 != 0)
        return testing::AssertionFailure() << "bad zlib header";
    std::string raw;
    size_t at = 2;
    for (bool last = false; !last;) {
        if (at + 5 > zlib.size()) return testing::AssertionFailure() << "deflate stream cut short";
        const unsigned char head = static_cast<unsigned char>(zlib[at]);
        if ((head >> 1) != 0) return testing::AssertionFailure() << "not a stored block";
        last = head & 1;
        const unsigned length = static_cast<unsigned char>(zlib[at + 1]) | static_cast<unsigned char>(zlib[at + 2]) << 8;
        const unsigned check = static_cast<unsigned char>(zlib[at + 3]) | static_cast<unsigned char>(zlib[at + 4]) << 8;
        if ((length ^ 0xFFFF) != check) return testing::AssertionFailure() << "bad stored block length";
        raw += zlib.substr(at + 5, length);
        at += 5 + length;
    }
    uint32_t a = 1, b = 0;
    for (char c : raw) {
        a = (a + static_cast<unsigned char>(c)) % 65521;
        b = (b + a) % 65521;
    }
    if (at + 4 > zlib.size() || BigEndian(zlib, at) != ((b << 16) | a)) return testing::AssertionFailure() << "bad Adler-32";
    const size_t row = size_t{image.width} * 3 + 1;
    if (raw.size() != row * image.height) return testing::AssertionFailure() << "wrong amount of picture data";
    image.rgb.clear();
    for (size_t y = 0; y < image.height; ++y) {
        if (raw[y * row] != 0) return testing::AssertionFailure() << "row " << y << " is filtered";
        image.rgb.insert(image.rgb.end(), raw.begin() + static_cast<std::ptrdiff_t>(y * row + 1),
                         raw.begin() + static_cast<std::ptrdiff_t>((y + 1) * row));
    }
    return testing::AssertionSuccess();
}

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    FileHandle file(::CreateFileW(cp932::ToWideLossy(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    char buffer[65536];
    DWORD got = 0;
    while (file && ::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    return bytes;
}

}  // namespace

// ---- Windows and controls -----------------------------------------------------------------------

TEST(Driver, ListsTheControlsOfAWindow)
{
    const std::string folder = WorkFolder("作業 フォルダ");
    auto form = e2e::Start(FormExe(), folder);
    auto window = form.WaitWindow("フィクスチャ", "TFixtureForm");
    EXPECT_EQ(window.ProcessId(), form.Id());
    EXPECT_EQ(window.ClientSize().cx, 272);
    EXPECT_EQ(window.ClientSize().cy, 216);

    struct Expected {
        const char* cls;
        const char* text;
        int id;
        bool visible, enabled;
        e2e::Bounds place;
    };
    const Expected expected[] = {
        {"Button", "押す", 101, true, true, {8, 8, 120, 25}},
        {"Button", "無効", 102, true, false, {144, 8, 120, 25}},
        {"Button", "隠し", 103, false, true, {144, 40, 120, 25}},
        {"Button", "音声", 104, true, true, {8, 40, 120, 20}},
        {"Edit", "C:\\ゲーム", 105, true, true, {8, 72, 256, 21}},
        {"msctls_progress32", "", 106, true, true, {8, 100, 256, 16}},
        {"Static", folder.c_str(), 107, true, true, {8, 124, 256, 16}},
        {"Static", "", 108, true, true, {8, 148, 256, 16}},
        {"Button", "終了", 109, true, true, {8, 184, 256, 25}},
    };
    const auto controls = window.Controls();
    ASSERT_EQ(controls.size(), std::size(expected)) << window.Listing();
    for (size_t i = 0; i < controls.size(); ++i) {
        SCOPED_TRACE(controls[i].Describe());
        EXPECT_EQ(controls[i].Class(), expected[i].cls);
        EXPECT_EQ(controls[i].Text(), expected[i].text);
        EXPECT_EQ(controls[i].Id(), expected[i].id);
        EXPECT_EQ(controls[i].Visible(), expected[i].visible);
        EXPECT_EQ(controls[i].StyleVisible(), expected[i].visible);
        EXPECT_EQ(controls[i].Enabled(), expected[i].enabled);
        EXPECT_EQ(controls[i].Place(), expected[i].place);
        EXPECT_EQ(controls[i].Focused(), expected[i].id == 105);
    }
    const auto progress = window.Child("msctls_progress32");
    EXPECT_EQ(progress.ProgressRange(), (e2e::Range{0, 3000000}));
    EXPECT_EQ(progress.ProgressPosition(), 1234567);

    window.Click("終了");
    EXPECT_EQ(form.WaitExit(), 7u);
}

TEST(Driver, WorksButtonsCheckBoxesEditBoxesAndMessageBoxes)
{
    auto form = e2e::Start(FormExe(), WorkFolder("form"));
    auto window = form.WaitWindow("フィクスチャ");

    const auto sound = window.Button("音声");
    sound.SetChecked(true);
    EXPECT_TRUE(sound.Checked());
    sound.SetChecked(false);
    EXPECT_FALSE(sound.Checked());

    const auto edit = window.Child("Edit");
    edit.SetText("D:\\別の場所");
    EXPECT_EQ(edit.Text(), "D:\\別の場所");
    edit.Type("\\ソフト表");
    EXPECT_EQ(edit.Text(), "D:\\別の場所\\ソフト表");

    window.Click("押す");
    auto box = form.WaitMessageBox("確認");
    EXPECT_EQ(box.Owner(), window.Handle());
    EXPECT_EQ(box.Text(), "押されました\n二行目");
    EXPECT_EQ(box.GetIcon(), e2e::Icon::Information);
    EXPECT_EQ(box.ButtonIds(), (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(box.Buttons().at(0).Text(), "OK");
    EXPECT_FALSE(window.Enabled()) << "the box is modal";
    box.Press(IDCANCEL);
    e2e::WaitUntil([&] { return window.ById(108).Text() == "キャンセル"; }, "the form saw Cancel");
    EXPECT_TRUE(window.Enabled());

    window.Click("押す");
    form.WaitMessageBox("確認").Press("OK");
    e2e::WaitUntil([&] { return window.ById(108).Text() == "OK"; }, "the form saw OK");

    {
        // What a person cannot click is refused.
        e2e::ExpectingFailures refusals;
        EXPECT_THROW(window.Click("無効"), e2e::StepFailed);
        EXPECT_THROW(window.Click("隠し"), e2e::StepFailed);
    }
    EXPECT_TRUE(window.HasButton("隠し"));
    EXPECT_FALSE(window.HasButton("ない"));

    window.Click("終了");
    EXPECT_EQ(form.WaitExit(), 7u);
}

TEST(Driver, TellsMessageBoxIconsAndButtons)
{
    struct Case {
        const char* icon;
        e2e::Icon expected;
        std::vector<int> buttons;
    };
    const Case cases[] = {
        {"error", e2e::Icon::Error, {IDOK}},
        {"warning", e2e::Icon::Warning, {IDOK, IDCANCEL}},
        {"information", e2e::Icon::Information, {IDOK}},
        {"question", e2e::Icon::Question, {IDYES, IDNO}},
        {"none", e2e::Icon::None, {IDOK}},
    };
    const std::string folder = WorkFolder("form");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.icon);
        auto program = e2e::Start(FormExe(), folder, std::string("box ") + c.icon);
        auto box = program.WaitMessageBox("箱の題");
        EXPECT_EQ(box.Owner(), nullptr);
        EXPECT_EQ(box.Text(), "本文です\n二行目");
        EXPECT_EQ(box.GetIcon(), c.expected);
        EXPECT_EQ(box.ButtonIds(), c.buttons);
        box.Press(c.buttons.back());
        EXPECT_EQ(program.WaitExit(), static_cast<DWORD>(c.buttons.back()));
    }
}

TEST(Driver, DrivesNotepad)
{
    auto notepad = e2e::Start("C:\\windows\\notepad.exe", WorkFolder("notepad"));
    auto window = notepad.WaitWindow("", "Notepad");
    const auto edit = window.Child("Edit");
    EXPECT_TRUE(edit.Visible());
    EXPECT_TRUE(edit.Enabled());
    edit.Type("こんにちは、世界");
    EXPECT_EQ(edit.Text(), "こんにちは、世界");

    window.Close();
    auto box = notepad.WaitMessageBox();
    EXPECT_EQ(box.Owner(), window.Handle());
    EXPECT_NE(box.Text(), "");
    EXPECT_EQ(box.ButtonIds(), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    box.Press(IDNO);
    EXPECT_EQ(notepad.WaitExit(), 0u);
}

// ---- Programs -----------------------------------------------------------------------------------

TEST(Driver, EndsWhatAScenarioLeftRunning)
{
    e2e::ExpectingFailures timeouts;
    DWORD id = 0;
    {
        // It starts a second copy of itself, as Setup.exe starts a game.
        auto form = e2e::Start(FormExe(), WorkFolder("form"), "spawn");
        (void)form.WaitWindow("フィクスチャ");
        e2e::WaitUntil([] { return e2e::FindWindows("フィクスチャ").size() == 2; }, "two fixture windows");
        id = form.Id();
        EXPECT_THROW(form.WaitExit(100), e2e::StepFailed);
        EXPECT_TRUE(form.Running());
    }
    KernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
    if (process) {
        EXPECT_EQ(::WaitForSingleObject(process.Get(), 0), WAIT_OBJECT_0);
    }
    EXPECT_TRUE(e2e::FindWindows("フィクスチャ").empty()) << e2e::TopLevelListing();
}

TEST(Driver, RefusesWhatIsMissing)
{
    e2e::ExpectingFailures refusals;
    EXPECT_THROW((void)e2e::Start(e2e::ProgramFolder() + "\\ない.exe", WorkFolder("form")), e2e::StepFailed);
    EXPECT_THROW((void)e2e::Start(FormExe(), e2e::BuildFolder() + "\\ないフォルダ"), e2e::StepFailed);
}

// ---- Pictures -----------------------------------------------------------------------------------

TEST(Pictures, PngHoldsThePixelsExactly)
{
    // Wide enough for the picture data to need two stored blocks.
    e2e::Image image;
    image.width = 200;
    image.height = 120;
    for (unsigned y = 0; y < image.height; ++y)
        for (unsigned x = 0; x < image.width; ++x)
            image.rgb.insert(image.rgb.end(), {static_cast<unsigned char>(x), static_cast<unsigned char>(y),
                                               static_cast<unsigned char>(x ^ y)});
    const auto png = e2e::EncodePng(image);
    const std::string bytes(png.begin(), png.end());
    // The IEND chunk is the same in every PNG file.
    EXPECT_EQ(bytes.substr(bytes.size() - 12), std::string("\0\0\0\0IEND\xae\x42\x60\x82", 12));
    e2e::Image read;
    ASSERT_TRUE(ReadPng(bytes, read));
    EXPECT_EQ(read.width, 200u);
    EXPECT_EQ(read.height, 120u);
    EXPECT_EQ(read.rgb, image.rgb);
}

TEST(Pictures, AFailedStepLeavesAPictureOfTheScreen)
{
    auto form = e2e::Start(FormExe(), WorkFolder("form"));
    (void)form.WaitWindow("フィクスチャ");
    std::string message;
    try {
        (void)form.WaitWindow("現れない窓", "", 200);
    } catch (const e2e::StepFailed& failure) {
        message = failure.what();
    }
    const size_t at = message.find("\nscreen: ");
    ASSERT_NE(at, std::string::npos) << message;
    const std::string picture = message.substr(at + 9);
    EXPECT_NE(picture.find("\\e2e-failures\\Pictures.AFailedStepLeavesAPictureOfTheScreen-"), std::string::npos)
        << picture;
    EXPECT_NE(message.find("フィクスチャ"), std::string::npos) << "the windows on the screen are listed";

    e2e::Image read;
    ASSERT_TRUE(ReadPng(ReadFileBytes(picture), read)) << picture;
    EXPECT_EQ(read.width, static_cast<unsigned>(::GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(read.height, static_cast<unsigned>(::GetSystemMetrics(SM_CYSCREEN)));
    // The form is on the screen: the picture is not one flat colour.
    size_t differing = 0;
    for (size_t i = 3; i < read.rgb.size(); i += 3) differing += read.rgb[i] != read.rgb[0];
    EXPECT_GT(differing, read.rgb.size() / 300);
}

// ---- Disc files and the registry ----------------------------------------------------------------

TEST(Records, ReadsOneIniValueAsTheProfileRulesSay)
{
    const std::string path = WorkFolder("ini") + "\\Setup.ini";
    {
        FileHandle file(::CreateFileW(cp932::ToWideLossy(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                      nullptr));
        const std::string text = "[Other]\r\nInstallDir=違う\r\n[setup]\r\n  installdir =  \"ゲーム表\"  \r\n"
                                 "InstallDir=後の値\r\nEmpty=\r\n";
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
    }
    EXPECT_EQ(e2e::IniValue(path, "Setup", "InstallDir"), std::optional<std::string>("ゲーム表"));
    EXPECT_EQ(e2e::IniValue(path, "Setup", "Empty"), std::optional<std::string>(""));
    EXPECT_EQ(e2e::IniValue(path, "Setup", "Missing"), std::nullopt);
    EXPECT_EQ(e2e::IniValue(path + ".none", "Setup", "InstallDir"), std::nullopt);
}

TEST(Records, InstallRecordIsPutBackAsItWas)
{
    const std::string name = "e2e テスト記録";
    e2e::InstallRecord::Remove(name);
    {
        e2e::InstallRecord record(name, "C:\\ゲーム\\");
        EXPECT_EQ(e2e::InstallRecord::Read(name), std::optional<std::string>("C:\\ゲーム\\"));
    }
    EXPECT_EQ(e2e::InstallRecord::Read(name), std::nullopt);
    {
        e2e::InstallRecord first(name, "D:\\前\\");
        {
            e2e::InstallRecord second(name, "E:\\後\\");
            EXPECT_EQ(e2e::InstallRecord::Read(name), std::optional<std::string>("E:\\後\\"));
        }
        EXPECT_EQ(e2e::InstallRecord::Read(name), std::optional<std::string>("D:\\前\\"));
    }
    EXPECT_EQ(e2e::InstallRecord::Read(name), std::nullopt);
}
