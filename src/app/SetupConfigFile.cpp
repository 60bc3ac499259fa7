#include "app/SetupConfig.h"

#include "util/Cp932.h"
#include "util/Handles.h"

namespace {

// Far beyond any real setup file; a larger one is not read into memory.
constexpr LONGLONG kMaxFileBytes = 16LL * 1024 * 1024;

// The whole file, or nothing when it cannot be read.
std::string ReadWholeFile(const std::string& path)
{
    const auto widePath = cp932::ToWide(path);
    if (!widePath) return {};
    const FileHandle file(::CreateFileW(widePath->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return {};
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxFileBytes) return {};

    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr))
            return {};
        if (got == 0) break;  // the file shrank while being read
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace

SetupConfig LoadSetupConfig(const std::string& iniPath) { return ParseSetupConfig(ReadWholeFile(iniPath)); }
