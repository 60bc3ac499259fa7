#include "toolkit/Picture.h"

#include <cstdlib>
#include <optional>
#include <vector>

#include "toolkit/Error.h"
#include "util/Cp932.h"
#include "util/File.h"
#include "util/Names.h"

namespace toolkit {
namespace {

// A picture file larger than this is refused rather than read whole into memory.
constexpr unsigned long long kMaxMetafileBytes = 64ULL * 1024 * 1024;

constexpr size_t kPlaceableHeaderBytes = 22;
constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kMetaHeaderBytes = 18;

unsigned Word(const BYTE* bytes, size_t index) noexcept
{
    return static_cast<unsigned>(bytes[index * 2]) | static_cast<unsigned>(bytes[index * 2 + 1]) << 8;
}

// A Windows metafile begins with its own header: type 1 (memory) or 2 (disk), nine words long.
bool LooksLikeWindowsMetafile(const BYTE* bytes, size_t size) noexcept
{
    if (size < kMetaHeaderBytes) return false;
    const unsigned type = Word(bytes, 0);
    return (type == 1 || type == 2) && Word(bytes, 1) == 9;
}

// A .wmf turned into an enhanced metafile. A placeable file (the usual kind) starts with a 22-byte
// header that gives the picture's bounding box in units of 1/inch; the system knows nothing of it,
// so it is skipped and its size handed over separately.
EnhMetaFile WindowsMetafile(const std::string& file)
{
    const BYTE* bits = reinterpret_cast<const BYTE*>(file.data());
    size_t size = file.size();
    std::optional<METAFILEPICT> picture;
    if (size >= kPlaceableHeaderBytes &&
        (Word(bits, 0) | static_cast<DWORD>(Word(bits, 1)) << 16) == kPlaceableKey) {
        unsigned checksum = 0;
        for (size_t i = 0; i < 10; ++i) checksum ^= Word(bits, i);
        const int left = static_cast<short>(Word(bits, 3));
        const int top = static_cast<short>(Word(bits, 4));
        const int right = static_cast<short>(Word(bits, 5));
        const int bottom = static_cast<short>(Word(bits, 6));
        const int inch = static_cast<int>(Word(bits, 7));
        if (checksum != Word(bits, 10) || inch == 0 || left == right || top == bottom) return EnhMetaFile();
        // The size in hundredths of a millimetre, as the mapping mode expects.
        picture = METAFILEPICT{MM_ANISOTROPIC, std::abs(right - left) * 2540 / inch,
                               std::abs(bottom - top) * 2540 / inch, nullptr};
        bits += kPlaceableHeaderBytes;
        size -= kPlaceableHeaderBytes;
    }
    if (!LooksLikeWindowsMetafile(bits, size)) return EnhMetaFile();
    return EnhMetaFile(::SetWinMetaFileBits(static_cast<UINT>(size), bits, nullptr, picture ? &*picture : nullptr));
}

// The system loads a bitmap file whose pixels are cut short without a word; such a file is refused
// here. The pixels of a compressed one have no fixed size and are left to the system to judge.
bool BitmapFileComplete(const std::string& path)
{
    CFile file;
    const auto fileSize = file.Open(path, GENERIC_READ) ? file.Size64() : std::nullopt;
    if (!fileSize || *fileSize > static_cast<unsigned long long>(MAXLONGLONG)) return false;
    const LONGLONG size = static_cast<LONGLONG>(*fileSize);
    BYTE header[14 + 40] = {};
    const DWORD got = file.Read(header, sizeof header);
    if (got < 14 + 12) return false;
    auto dword = [&header](size_t at) {
        return static_cast<DWORD>(header[at]) | static_cast<DWORD>(header[at + 1]) << 8 |
               static_cast<DWORD>(header[at + 2]) << 16 | static_cast<DWORD>(header[at + 3]) << 24;
    };
    if (header[0] != 'B' || header[1] != 'M') return false;
    const LONGLONG pixelsAt = dword(10);
    const DWORD infoSize = dword(14);
    LONGLONG width = 0;
    LONGLONG height = 0;
    unsigned bitCount = 0;
    DWORD compression = BI_RGB;
    if (infoSize == sizeof(BITMAPCOREHEADER)) {
        width = Word(header, 9);
        height = Word(header, 10);
        bitCount = Word(header, 12);
    } else {
        if (infoSize < sizeof(BITMAPINFOHEADER) || got < sizeof header) return false;
        width = static_cast<LONG>(dword(18));
        height = static_cast<LONG>(dword(22));
        bitCount = Word(header, 14);
        compression = dword(30);
    }
    if (width <= 0 || height == 0 || bitCount == 0 || bitCount > 32) return false;
    if (compression != BI_RGB && compression != BI_BITFIELDS) return pixelsAt < size;
    const LONGLONG stride = (width * bitCount + 31) / 32 * 4;
    return pixelsAt + stride * (height < 0 ? -height : height) <= size;
}

// An enhanced metafile starts with its header record: type 1 and the signature " EMF" at byte 40.
bool LooksLikeEnhancedMetafile(const std::string& path)
{
    CFile file;
    BYTE header[44] = {};
    if (!file.Open(path, GENERIC_READ) || file.Read(header, sizeof header) != sizeof header) return false;
    const DWORD type = Word(header, 0) | static_cast<DWORD>(Word(header, 1)) << 16;
    const DWORD signature = Word(header, 20) | static_cast<DWORD>(Word(header, 21)) << 16;
    return type == EMR_HEADER && signature == ENHMETA_SIGNATURE;
}

struct LoadedPicture {
    GdiObject bitmap;
    SIZE bitmapSize{};
    IconHandle icon;
    EnhMetaFile metafile;
};

// Loads the file of a known kind (extension in lower case); false where it cannot be read.
bool LoadPictureFile(const std::string& path, const std::string& extension, LoadedPicture& loaded)
{
    // The system's loaders open the file themselves: each kind reads it through CFile first, which
    // refuses a device, or is asked IsDiskFile.
    const auto widePath = cp932::ToWide(path);
    if (!widePath) return false;
    if (extension == ".bmp") {
        if (BitmapFileComplete(path))
            loaded.bitmap.Reset(::LoadImageW(nullptr, widePath->c_str(), IMAGE_BITMAP, 0, 0,
                                             LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        BITMAP info{};
        if (!loaded.bitmap || ::GetObjectW(loaded.bitmap.Get(), sizeof info, &info) != sizeof info ||
            info.bmWidth <= 0 || info.bmHeight <= 0)
            return false;
        loaded.bitmapSize = SIZE{info.bmWidth, info.bmHeight};
        return true;
    }
    if (extension == ".ico") {
        if (!IsDiskFile(path)) return false;
        loaded.icon.Reset(
            static_cast<HICON>(::LoadImageW(nullptr, widePath->c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE)));
        return loaded.icon.Valid();
    }
    if (extension == ".emf") {
        if (LooksLikeEnhancedMetafile(path)) loaded.metafile.Reset(::GetEnhMetaFileW(widePath->c_str()));
        return loaded.metafile.Valid();
    }
    const auto bytes = ReadWholeFile(path, kMaxMetafileBytes);
    if (bytes) loaded.metafile = WindowsMetafile(*bytes);
    return loaded.metafile.Valid();
}

}  // namespace

void Picture::RegisterWindowClass(HINSTANCE instance)
{
    RegisterClassOnce(instance, WindowClassName(), CS_HREDRAW | CS_VREDRAW,
                      ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)),
                      "画像のウィンドウクラスを登録できません");
}

bool Picture::Empty() const noexcept { return !bitmap_ && !icon_ && !metafile_; }

void Picture::LoadFromFile(const std::string& path)
{
    const std::string extension = LowerAscii(Extension(path));
    if (extension != ".bmp" && extension != ".ico" && extension != ".emf" && extension != ".wmf")
        throw Error("画像の形式が不明です: " + path);
    LoadedPicture loaded;
    if (!LoadPictureFile(path, extension, loaded)) throw Error("画像を読み込めません: " + path);
    bitmap_ = std::move(loaded.bitmap);
    bitmapSize_ = loaded.bitmapSize;
    icon_ = std::move(loaded.icon);
    metafile_ = std::move(loaded.metafile);
    if (Handle()) ::InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT Picture::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        if (HDC dc = ::BeginPaint(Handle(), &paint)) {
            Render(dc);
            ::EndPaint(Handle(), &paint);
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        Render(reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        return ::DefWindowProcW(Handle(), message, wParam, lParam);
    }
}

void Picture::Render(HDC target) const
{
    RECT area{};
    if (!target || !::GetClientRect(Handle(), &area) || area.right <= 0 || area.bottom <= 0) return;
    MemoryDc buffer(::CreateCompatibleDC(target));
    GdiObject bitmap(::CreateCompatibleBitmap(target, area.right, area.bottom));
    if (!buffer || !bitmap) {
        Draw(target, area);
        return;
    }
    const HGDIOBJ previous = ::SelectObject(buffer.Get(), bitmap.Get());
    Draw(buffer.Get(), area);
    ::BitBlt(target, 0, 0, area.right, area.bottom, buffer.Get(), 0, 0, SRCCOPY);
    ::SelectObject(buffer.Get(), previous);
}

void Picture::Draw(HDC dc, const RECT& area) const
{
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
    if (bitmap_) {
        MemoryDc source(::CreateCompatibleDC(dc));
        if (!source) return;
        const HGDIOBJ previous = ::SelectObject(source.Get(), bitmap_.Get());
        ::SetStretchBltMode(dc, HALFTONE);
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
        ::StretchBlt(dc, 0, 0, area.right, area.bottom, source.Get(), 0, 0, bitmapSize_.cx, bitmapSize_.cy, SRCCOPY);
        ::SelectObject(source.Get(), previous);
    } else if (icon_) {
        ::DrawIconEx(dc, 0, 0, icon_.Get(), area.right, area.bottom, 0, nullptr, DI_NORMAL);
    } else if (metafile_) {
        ::PlayEnhMetaFile(dc, metafile_.Get(), &area);
    }
}

}  // namespace toolkit
