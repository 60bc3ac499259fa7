// Pictures of the screen: capture through GDI, a PNG writer of our own (stored deflate blocks), and
// telling a message box's icon by how it looks.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

#include "Driver.h"
#include "util/Cp932.h"

namespace e2e {
namespace {

struct DcTraits {
    using Type = HDC;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type dc) noexcept { ::DeleteDC(dc); }
};
using MemoryDc = UniqueHandle<DcTraits>;

class ScreenDc {
public:
    ScreenDc() noexcept : dc_(::GetDC(nullptr)) {}
    ~ScreenDc()
    {
        if (dc_) ::ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    [[nodiscard]] HDC Get() const noexcept { return dc_; }

private:
    HDC dc_;
};

// A 24-bit top-down DIB selected into a memory DC for the life of the object.
class Canvas {
public:
    Canvas(HDC compatible, int width, int height) noexcept : width_(width), height_(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        dc_.Reset(::CreateCompatibleDC(compatible));
        bitmap_.Reset(::CreateDIBSection(compatible, &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
        if (dc_ && bitmap_ && bits_) old_ = ::SelectObject(dc_.Get(), bitmap_.Get());
    }
    ~Canvas()
    {
        if (old_) ::SelectObject(dc_.Get(), old_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    [[nodiscard]] bool Ready() const noexcept { return old_ != nullptr; }
    [[nodiscard]] HDC Dc() const noexcept { return dc_.Get(); }

    [[nodiscard]] Image Read() const
    {
        ::GdiFlush();
        Image image;
        image.width = static_cast<unsigned>(width_);
        image.height = static_cast<unsigned>(height_);
        image.rgb.resize(image.width * image.height * 3);
        const size_t stride = (static_cast<size_t>(width_) * 3 + 3) & ~size_t{3};
        const auto* bgr = static_cast<const unsigned char*>(bits_);
        for (size_t y = 0; y < image.height; ++y)
            for (size_t x = 0; x < image.width; ++x) {
                const unsigned char* from = bgr + y * stride + x * 3;
                unsigned char* to = &image.rgb[(y * image.width + x) * 3];
                to[0] = from[2];
                to[1] = from[1];
                to[2] = from[0];
            }
        return image;
    }

private:
    int width_, height_;
    MemoryDc dc_;
    GdiObject bitmap_;
    void* bits_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

constexpr std::array<uint32_t, 256> MakeCrcTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

uint32_t Crc32(const unsigned char* data, size_t size, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = kCrcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBigEndian(std::vector<unsigned char>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

void PutChunk(std::vector<unsigned char>& out, const char (&type)[5], const std::vector<unsigned char>& data)
{
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(&out[typeAt], out.size() - typeAt));
}

}  // namespace

std::vector<unsigned char> EncodePng(const Image& image)
{
    // The picture's rows, each behind filter byte 0, in a zlib stream of stored blocks.
    std::vector<unsigned char> raw;
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    raw.reserve((rowBytes + 1) * image.height);
    for (size_t y = 0; y < image.height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), image.rgb.begin() + static_cast<std::ptrdiff_t>(y * rowBytes),
                   image.rgb.begin() + static_cast<std::ptrdiff_t>((y + 1) * rowBytes));
    }
    std::vector<unsigned char> zlib{0x78, 0x01};
    constexpr size_t kBlock = 65535;
    size_t at = 0;
    do {
        const size_t size = std::min(kBlock, raw.size() - at);
        const bool last = at + size == raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<unsigned char>(size & 0xFF));
        zlib.push_back(static_cast<unsigned char>(size >> 8));
        zlib.push_back(static_cast<unsigned char>(~size & 0xFF));
        zlib.push_back(static_cast<unsigned char>((~size >> 8) & 0xFF));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                    raw.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(zlib, (b << 16) | a);

    std::vector<unsigned char> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    PutBigEndian(header, image.width);
    PutBigEndian(header, image.height);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filtering choice, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", {});
    return png;
}

bool SavePng(const Image& image, const std::string& path)
{
    if (image.width == 0 || image.height == 0 || image.rgb.size() != size_t{image.width} * image.height * 3)
        return false;
    const std::vector<unsigned char> png = EncodePng(image);
    FileHandle file(::CreateFileW(cp932::ToWideLossy(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    size_t at = 0;
    while (at < png.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(png.size() - at, 1 << 20));
        DWORD written = 0;
        if (!::WriteFile(file.Get(), png.data() + at, chunk, &written, nullptr) || written == 0) return false;
        at += written;
    }
    return true;
}

std::optional<Image> CaptureScreen(const RECT& area)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return std::nullopt;
    ScreenDc screen;
    if (!screen.Get()) return std::nullopt;
    Canvas canvas(screen.Get(), width, height);
    if (!canvas.Ready()) return std::nullopt;
    if (!::BitBlt(canvas.Dc(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY)) return std::nullopt;
    return canvas.Read();
}

std::optional<Image> CaptureScreen()
{
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return CaptureScreen(screen);
}

bool WaitScreenStill(DWORD timeoutMs)
{
    // Two pictures a moment apart that are the same: whatever was to be painted has been.
    auto last = CaptureScreen();
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        ::Sleep(50);
        auto now = CaptureScreen();
        if (now && last && now->rgb == last->rgb) return true;
        last = std::move(now);
    }
    return false;
}

bool SaveScreenshot(const std::string& path)
{
    const auto image = CaptureScreen();
    return image && SavePng(*image, path);
}

// ---- Which icon a message box shows ---------------------------------------------------------------

namespace {

// A standard icon drawn as the static control draws it: stretched over its client area, on the
// background found in the picture's corner.
std::optional<Image> RenderIcon(HICON icon, int width, int height, COLORREF background)
{
    ScreenDc screen;
    Canvas canvas(screen.Get(), width, height);
    if (!canvas.Ready()) return std::nullopt;
    GdiObject brush(::CreateSolidBrush(background));
    const RECT all{0, 0, width, height};
    ::FillRect(canvas.Dc(), &all, static_cast<HBRUSH>(brush.Get()));
    if (!::DrawIconEx(canvas.Dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL)) return std::nullopt;
    return canvas.Read();
}

// The share of pixels that differ visibly.
double Difference(const Image& a, const Image& b)
{
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 1.0;
    size_t differing = 0;
    for (size_t i = 0; i < a.rgb.size(); i += 3) {
        const int d = std::abs(a.rgb[i] - b.rgb[i]) + std::abs(a.rgb[i + 1] - b.rgb[i + 1]) +
                      std::abs(a.rgb[i + 2] - b.rgb[i + 2]);
        if (d > 48) ++differing;
    }
    return static_cast<double>(differing) / static_cast<double>(a.rgb.size() / 3);
}

struct Candidate {
    Icon icon;
    WORD id;  // IDI_ERROR, IDI_WARNING, IDI_INFORMATION, IDI_QUESTION
};
constexpr Candidate kStandardIcons[] = {
    {Icon::Error, 32513},
    {Icon::Warning, 32515},
    {Icon::Information, 32516},
    {Icon::Question, 32514},
};

HICON StandardIcon(WORD id) { return ::LoadIconW(nullptr, MAKEINTRESOURCEW(id)); }

}  // namespace

Icon MsgBox::GetIcon() const
{
    HWND iconControl = nullptr;
    for (const Control& c : Controls())
        if (c.Id() == 1088 && c.Class() == "Static") iconControl = c.Handle();
    if (!iconControl || !::IsWindowVisible(iconControl)) return Icon::None;

    DWORD_PTR shown = 0;
    if (!::SendMessageTimeoutW(iconControl, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 3000, &shown) || shown == 0)
        return Icon::None;
    // The same handle when the system shares its standard icons between processes.
    for (const Candidate& c : kStandardIcons)
        if (reinterpret_cast<HICON>(shown) == StandardIcon(c.id)) return c.icon;

    // Otherwise compare the pixels on the screen with each standard icon drawn here. The box may not
    // be painted yet: look again for a moment.
    RECT area{};
    ::GetWindowRect(iconControl, &area);
    const int width = area.right - area.left, height = area.bottom - area.top;
    Icon best = Icon::Unknown;
    const DWORD start = ::GetTickCount();
    do {
        const auto onScreen = CaptureScreen(area);
        if (onScreen) {
            const unsigned char* corner = onScreen->rgb.data();
            const COLORREF background = RGB(corner[0], corner[1], corner[2]);
            double bestDifference = 1.0;
            for (const Candidate& c : kStandardIcons) {
                const auto drawn = RenderIcon(StandardIcon(c.id), width, height, background);
                if (!drawn) continue;
                const double d = Difference(*onScreen, *drawn);
                if (d < bestDifference) {
                    bestDifference = d;
                    best = c.icon;
                }
            }
            if (bestDifference < 0.02) return best;
        }
        ::Sleep(50);
    } while (::GetTickCount() - start < 2000);
    return Icon::Unknown;
}

}  // namespace e2e
