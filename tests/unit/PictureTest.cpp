#include "toolkit/Picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "toolkit/Error.h"
#include "util/Handles.h"

#include "TestSupport.h"

namespace {

using testsupport::TempFolder;
using testsupport::TestWindow;
using testsupport::Wide;

using Bytes = std::vector<uint8_t>;

constexpr int kWidth = 158;  // the size the copy window gives its picture
constexpr int kHeight = 118;

void Put16(Bytes& out, unsigned value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}
void Put32(Bytes& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// 4 x 2 pixels, 24 bits: the left half red, the right half blue.
Bytes LeftRedRightBlueBitmap()
{
    Bytes out{'B', 'M'};
    Put32(out, 14 + 40 + 24);
    Put32(out, 0);
    Put32(out, 14 + 40);
    for (uint32_t v : {40u, 4u, 2u}) Put32(out, v);
    Put16(out, 1);
    Put16(out, 24);
    for (uint32_t v : {0u, 24u, 0u, 0u, 0u, 0u}) Put32(out, v);
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 4; ++x)
            for (uint8_t b : x < 2 ? Bytes{0, 0, 255} : Bytes{255, 0, 0}) out.push_back(b);
    return out;
}

// One 32 x 32 image of 32 bits, opaque green.
Bytes GreenIcon()
{
    Bytes out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, 1);  // one image
    out.push_back(32);
    out.push_back(32);
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 40 + 32 * 32 * 4 + 32 * 4);
    Put32(out, 6 + 16);
    for (uint32_t v : {40u, 32u, 64u}) Put32(out, v);  // the height counts the mask too
    Put16(out, 1);
    Put16(out, 32);
    for (uint32_t v : {0u, 0u, 0u, 0u, 0u, 0u}) Put32(out, v);
    for (int i = 0; i < 32 * 32; ++i)
        for (uint8_t b : {0, 255, 0, 255}) out.push_back(b);
    out.insert(out.end(), 32 * 4, 0);  // mask: every pixel drawn
    return out;
}

// A Windows metafile of 100 x 100 logical units: a red rectangle on the left half, a blue one on
// the right, drawn without outline. With `placeable`, led by the 22-byte header that sizes it.
Bytes LeftRedRightBlueWmf(bool placeable)
{
    Bytes records;
    auto record = [&records](unsigned function, std::initializer_list<unsigned> words) {
        Put32(records, static_cast<uint32_t>(3 + words.size()));
        Put16(records, function);
        for (unsigned w : words) Put16(records, w);
    };
    record(0x020B, {0, 0});      // SetWindowOrg(y, x)
    record(0x020C, {100, 100});  // SetWindowExt(y, x)
    record(0x02FA, {5, 0, 0, 0, 0});  // CreatePenIndirect: PS_NULL
    record(0x012D, {0});              // SelectObject
    record(0x02FC, {0, 0x00FF, 0x0000, 0});  // CreateBrushIndirect: solid, red
    record(0x012D, {1});
    record(0x041B, {101, 51, 0, 0});  // Rectangle(bottom, right, top, left)
    record(0x02FC, {0, 0x0000, 0x00FF, 0});  // blue
    record(0x012D, {2});
    record(0x041B, {101, 101, 0, 50});
    record(0x0000, {});  // end

    Bytes out;
    if (placeable) {
        Bytes header;
        Put32(header, 0x9AC6CDD7);
        Put16(header, 0);
        for (unsigned v : {0u, 0u, 100u, 100u, 96u}) Put16(header, v);  // box, units per inch
        Put32(header, 0);
        unsigned checksum = 0;
        for (size_t i = 0; i < header.size(); i += 2) checksum ^= header[i] | header[i + 1] << 8;
        Put16(header, checksum);
        out = header;
    }
    Put16(out, 1);      // in memory
    Put16(out, 9);      // header words
    Put16(out, 0x300);  // version
    Put32(out, static_cast<uint32_t>((18 + records.size()) / 2));
    Put16(out, 3);  // objects
    Put32(out, 8);  // largest record, in words
    Put16(out, 0);
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

struct Rgb {
    int r, g, b;
};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};

bool Near(const Rgb& a, const Rgb& b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) <= 24; }

std::ostream& operator<<(std::ostream& out, const Rgb& c)
{
    return out << "(" << c.r << "," << c.g << "," << c.b << ")";
}

class PictureTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.Made());
        ASSERT_NE(parent_.Handle(), nullptr);
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        toolkit::Picture::RegisterWindowClass(instance);
        toolkit::Picture::RegisterWindowClass(instance);  // a second time is harmless
        const HWND child = ::CreateWindowExW(0, toolkit::Picture::WindowClassName(), L"", WS_CHILD | WS_VISIBLE, 1,
                                             1, kWidth, kHeight, parent_.Handle(), reinterpret_cast<HMENU>(100),
                                             instance, nullptr);
        ASSERT_NE(child, nullptr);
        picture_.Attach(child);
    }
    void TearDown() override
    {
        parent_.Destroy();
        EXPECT_EQ(picture_.Handle(), nullptr);  // let go of its window when that was destroyed
    }

    std::string PathOf(const std::string& name) const { return folder_.PathOf(name); }
    std::string Write(const std::string& name, const Bytes& bytes) { return folder_.Write(name, bytes); }

    // An enhanced metafile recorded through the system: red left half, blue right half.
    std::string RecordEmf(const std::string& name)
    {
        const std::string path = PathOf(name);
        const HDC dc = ::CreateEnhMetaFileW(nullptr, Wide(path).c_str(), nullptr, nullptr);
        EXPECT_NE(dc, nullptr);
        GdiObject red(::CreateSolidBrush(RGB(255, 0, 0)));
        GdiObject blue(::CreateSolidBrush(RGB(0, 0, 255)));
        const RECT left{0, 0, 100, 100};
        const RECT right{100, 0, 200, 100};
        ::FillRect(dc, &left, static_cast<HBRUSH>(red.Get()));
        ::FillRect(dc, &right, static_cast<HBRUSH>(blue.Get()));
        EnhMetaFile done(::CloseEnhMetaFile(dc));
        EXPECT_TRUE(done);
        return path;
    }

    // The picture's client area as it draws itself into a memory DC (WM_PRINTCLIENT).
    std::vector<uint32_t> Capture()
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        GdiObject section(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        MemoryDc dc(::CreateCompatibleDC(nullptr));
        EXPECT_TRUE(section && dc);
        std::vector<uint32_t> pixels(kWidth * kHeight, 0xDEADBEEF);
        if (!section || !dc) return pixels;
        const HGDIOBJ previous = ::SelectObject(dc.Get(), section.Get());
        ::SendMessageW(picture_.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
        ::GdiFlush();
        const auto* source = static_cast<const uint32_t*>(bits);
        pixels.assign(source, source + kWidth * kHeight);
        ::SelectObject(dc.Get(), previous);
        return pixels;
    }
    static Rgb At(const std::vector<uint32_t>& pixels, int x, int y)
    {
        const uint32_t p = pixels[static_cast<size_t>(y * kWidth + x)];
        return Rgb{static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF)};
    }
    // The colours at a quarter and three quarters of the width, and near the far corner.
    void ExpectDrawn(const Rgb& left, const Rgb& right, const std::string& what)
    {
        const auto pixels = Capture();
        EXPECT_PRED2(Near, At(pixels, kWidth / 4, kHeight / 2), left) << what;
        EXPECT_PRED2(Near, At(pixels, kWidth * 3 / 4, kHeight / 2), right) << what;
        EXPECT_PRED2(Near, At(pixels, kWidth - 4, kHeight - 4), right) << what;
    }
    std::string LoadError(const std::string& path)
    {
        try {
            picture_.LoadFromFile(path);
        } catch (const toolkit::Error& error) {
            return error.Message();
        }
        return "(no error)";
    }

    TempFolder folder_{"SetupPictureTest-画像ソ表"};
    TestWindow parent_{L"picture test", WS_OVERLAPPED | WS_CLIPCHILDREN, 300, 200};
    toolkit::Picture picture_;
};

TEST_F(PictureTest, EmptyPictureShowsTheFaceColour)
{
    EXPECT_TRUE(picture_.Empty());
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const Rgb expected{GetRValue(face), GetGValue(face), GetBValue(face)};
    ExpectDrawn(expected, expected, "empty");
}

TEST_F(PictureTest, EachKindIsStretchedOverTheWholeArea)
{
    const struct {
        std::string path;
        Rgb left, right;
    } cases[] = {
        {Write("left-right.bmp", LeftRedRightBlueBitmap()), kRed, kBlue},
        {Write("UPPER.BMP", LeftRedRightBlueBitmap()), kRed, kBlue},
        {Write("green.ico", GreenIcon()), kGreen, kGreen},
        {Write("green.Ico", GreenIcon()), kGreen, kGreen},
        {RecordEmf("recorded.emf"), kRed, kBlue},
        {Write("placeable.wmf", LeftRedRightBlueWmf(true)), kRed, kBlue},
        {Write("plain.WMF", LeftRedRightBlueWmf(false)), kRed, kBlue},
    };
    // Alternate with a green picture, so that every case must change what is shown.
    const std::string green = Write("between.ico", GreenIcon());
    for (const auto& c : cases) {
        picture_.LoadFromFile(green);
        picture_.LoadFromFile(c.path);
        EXPECT_FALSE(picture_.Empty());
        ExpectDrawn(c.left, c.right, c.path);
    }
}

TEST_F(PictureTest, FailureNamesTheFileAndKeepsThePictureShown)
{
    const Bytes garbage{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e', '\r', '\n', 0, 1, 2, 3, 4,
                        5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16,   17,   18, 19, 20, 21, 22, 23,
                        24,  25,  26,  27,  28,  29,  30,  31,  32,  33,  34,  35,   36,   37, 38, 39, 40, 41, 42};
    Bytes badChecksum = LeftRedRightBlueWmf(true);
    badChecksum[20] ^= 0x01;
    Bytes truncatedBitmap = LeftRedRightBlueBitmap();
    truncatedBitmap.resize(30);
    Bytes shortPixels = LeftRedRightBlueBitmap();
    shortPixels.resize(shortPixels.size() - 1);
    const struct {
        std::string path;
        const char* prefix;
    } cases[] = {
        {Write("corrupt.bmp", garbage), "画像を読み込めません: "},
        {Write("truncated.bmp", truncatedBitmap), "画像を読み込めません: "},
        {Write("short.bmp", shortPixels), "画像を読み込めません: "},
        {Write("corrupt.ico", garbage), "画像を読み込めません: "},
        {Write("corrupt.emf", garbage), "画像を読み込めません: "},
        {Write("wmf-as.emf", LeftRedRightBlueWmf(true)), "画像を読み込めません: "},
        {Write("corrupt.wmf", garbage), "画像を読み込めません: "},
        {Write("checksum.wmf", badChecksum), "画像を読み込めません: "},
        {Write("empty.wmf", Bytes{}), "画像を読み込めません: "},
        {PathOf("missing.bmp"), "画像を読み込めません: "},
        {PathOf("COM1.bmp"), "画像を読み込めません: "},  // devices are never opened
        {PathOf("nul.ico"), "画像を読み込めません: "},
        {PathOf("CON.emf"), "画像を読み込めません: "},
        {Write("picture.gif", LeftRedRightBlueBitmap()), "画像の形式が不明です: "},
        {Write("bitmap", LeftRedRightBlueBitmap()), "画像の形式が不明です: "},
        {Write("bmp.bmp.txt", LeftRedRightBlueBitmap()), "画像の形式が不明です: "},
    };
    picture_.LoadFromFile(Write("shown.bmp", LeftRedRightBlueBitmap()));
    for (const auto& c : cases) {
        EXPECT_EQ(LoadError(c.path), c.prefix + c.path);
        ExpectDrawn(kRed, kBlue, c.path);
    }
}

TEST_F(PictureTest, PaintsOnScreenWithoutLosingThePicture)
{
    picture_.LoadFromFile(Write("screen.bmp", LeftRedRightBlueBitmap()));
    ::ShowWindow(parent_.Handle(), SW_SHOWNA);
    ::UpdateWindow(parent_.Handle());
    // What the window shows, read back from its own DC after painting.
    const HDC windowDc = ::GetDC(picture_.Handle());
    ASSERT_NE(windowDc, nullptr);
    const COLORREF left = ::GetPixel(windowDc, kWidth / 4, kHeight / 2);
    const COLORREF right = ::GetPixel(windowDc, kWidth * 3 / 4, kHeight / 2);
    ::ReleaseDC(picture_.Handle(), windowDc);
    EXPECT_PRED2(Near, (Rgb{GetRValue(left), GetGValue(left), GetBValue(left)}), kRed);
    EXPECT_PRED2(Near, (Rgb{GetRValue(right), GetGValue(right), GetBValue(right)}), kBlue);
}

}  // namespace
