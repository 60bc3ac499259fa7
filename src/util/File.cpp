#include "util/File.h"

#include <new>

#include "util/Cp932.h"
#include "util/Names.h"

namespace {

constexpr size_t kMaxRootBytes = 255;

}  // namespace

bool CFile::Open(const std::string& path, DWORD access) noexcept { return OpenAs(path, access, true); }

bool CFile::OpenNew(const std::string& path) noexcept { return OpenAs(path, GENERIC_WRITE, false); }

bool CFile::OpenAs(const std::string& path, DWORD access, bool replace) noexcept
{
    Close();
    // Only files on a disk: a device (NUL, COM1, CON, in any folder) or a pipe is never opened, as
    // if it were missing. Device names are refused before the open, which could wait on a port.
    if (!FitsSystemPath(path) || IsDevicePath(path)) return false;
    std::optional<std::wstring> widePath;
    try {
        widePath = cp932::ToWide(path);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!widePath) return false;

    FileHandle handle;
    if (access == GENERIC_READ) {
        handle.Reset(::CreateFileW(widePath->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_RANDOM_ACCESS, nullptr));
    } else if (access == GENERIC_WRITE) {
        // Created, or emptied if it exists. A new file is made as new: emptying a file (what
        // CREATE_ALWAYS does even to one it has just made, under Wine) makes the file system write
        // it out in full when it is closed, which cost a third of the copy's time.
        constexpr DWORD kFlags = FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_ARCHIVE;
        handle.Reset(::CreateFileW(widePath->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, kFlags, nullptr));
        if (!handle && replace && ::GetLastError() == ERROR_FILE_EXISTS)
            handle.Reset(::CreateFileW(widePath->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, kFlags, nullptr));
    }
    // A path that names no device by its last level reaches something else than a file on a disk
    // only through the \\.\ or \\server\ namespaces (a pipe): only those pay for the question.
    const bool namespaced = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
    if (!handle || (namespaced && ::GetFileType(handle.Get()) != FILE_TYPE_DISK)) return false;
    handle_ = std::move(handle);
    return true;
}

bool CFile::Close() noexcept
{
    return IsOpen() && ::CloseHandle(handle_.Release()) != FALSE;
}

DWORD CFile::Read(void* buffer, DWORD count) noexcept
{
    if (!IsOpen()) return 0;
    DWORD done = 0;
    return ::ReadFile(handle_.Get(), buffer, count, &done, nullptr) ? done : 0;
}

DWORD CFile::Write(const void* buffer, DWORD count) noexcept
{
    if (!IsOpen()) return 0;
    DWORD done = 0;
    return ::WriteFile(handle_.Get(), buffer, count, &done, nullptr) ? done : 0;
}

DWORD CFile::Size() const noexcept
{
    if (!IsOpen()) return 0;
    const DWORD size = ::GetFileSize(handle_.Get(), nullptr);
    return size == INVALID_FILE_SIZE ? 0 : size;
}

std::optional<unsigned long long> CFile::Size64() const noexcept
{
    LARGE_INTEGER size{};
    if (!IsOpen() || !::GetFileSizeEx(handle_.Get(), &size)) return std::nullopt;
    return static_cast<unsigned long long>(size.QuadPart);
}

bool CFile::GetTime(int& date, int& time) const noexcept
{
    date = 0;
    time = 0;
    if (!IsOpen()) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    FILETIME local{};
    SYSTEMTIME st{};
    if (!::GetFileInformationByHandle(handle_.Get(), &info) ||
        !::FileTimeToLocalFileTime(&info.ftLastWriteTime, &local) || !::FileTimeToSystemTime(&local, &st))
        return false;
    date = st.wYear * 10000 + st.wMonth * 100 + st.wDay;
    time = st.wHour * 10000 + st.wMinute * 100 + st.wSecond;
    return true;
}

bool CFile::SetTime(int date, int time) noexcept
{
    if (!IsOpen() || date < 0 || time < 0) return false;
    const int year = date / 10000;
    const int hour = time / 10000;
    // Anything that would not survive the narrowing into SYSTEMTIME is refused, not wrapped.
    if (year > 0xFFFF || hour > 0xFFFF) return false;
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(date % 10000 / 100);
    st.wDay = static_cast<WORD>(date % 100);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(time % 10000 / 100);
    st.wSecond = static_cast<WORD>(time % 100);
    FILETIME local{};
    FILETIME utc{};
    return ::SystemTimeToFileTime(&st, &local) && ::LocalFileTimeToFileTime(&local, &utc) &&
           ::SetFileTime(handle_.Get(), &utc, &utc, &utc);
}

bool CFile::StampFrom(const CFile& source) noexcept
{
    FILETIME written{};
    if (!IsOpen() || !source.IsOpen() || !::GetFileTime(source.handle_.Get(), nullptr, nullptr, &written)) return false;
    ULARGE_INTEGER ticks{};
    ticks.LowPart = written.dwLowDateTime;
    ticks.HighPart = written.dwHighDateTime;
    // Beyond what a packed time can hold GetTime fails, and so nothing is stamped.
    if (ticks.QuadPart >= 0x8000000000000000ULL) return false;
    constexpr unsigned long long kTicksPerSecond = 10000000;
    ticks.QuadPart -= ticks.QuadPart % kTicksPerSecond;
    const FILETIME stamp{ticks.LowPart, ticks.HighPart};
    return ::SetFileTime(handle_.Get(), &stamp, &stamp, &stamp) != FALSE;
}

unsigned CFile::FreeMegabytes(const std::string& drive) noexcept
{
    if (drive.size() + 1 > kMaxRootBytes) return 0;
    std::optional<std::wstring> root;
    try {
        root = cp932::ToWide(drive + '\\');
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (!root) return 0;
    ULARGE_INTEGER available{};
    ULARGE_INTEGER total{};
    ULARGE_INTEGER totalFree{};
    if (!::GetDiskFreeSpaceExW(root->c_str(), &available, &total, &totalFree)) return 0;
    return static_cast<unsigned>(available.QuadPart >> 20);
}

std::optional<DWORD> AttributesAt(const std::string& path) noexcept
{
    try {
        if (!FitsSystemPath(path)) return std::nullopt;
        const auto wide = cp932::ToWide(path);
        if (!wide) return std::nullopt;
        const DWORD attributes = ::GetFileAttributesW(wide->c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
        return attributes;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool RenameAt(const std::string& from, const std::string& to) noexcept
{
    try {
        if (!FitsSystemPath(from) || !FitsSystemPath(to)) return false;
        const auto wideFrom = cp932::ToWide(from);
        const auto wideTo = cp932::ToWide(to);
        return wideFrom && wideTo && ::MoveFileExW(wideFrom->c_str(), wideTo->c_str(), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool IsDiskFile(const std::string& path) noexcept
{
    CFile file;
    return file.Open(path, GENERIC_READ);
}

std::optional<std::string> ReadWholeFile(const std::string& path, unsigned long long maxBytes)
{
    CFile file;
    if (!file.Open(path, GENERIC_READ)) return std::nullopt;
    const auto size = file.Size64();
    if (!size || *size > maxBytes || *size > MAXDWORD) return std::nullopt;
    std::string bytes(static_cast<size_t>(*size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD got = file.Read(bytes.data() + done, static_cast<DWORD>(bytes.size() - done));
        if (got == 0) break;  // a read error, or the file shrank while being read
        done += got;
    }
    if (done != bytes.size()) return std::nullopt;
    return bytes;
}
