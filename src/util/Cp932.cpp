#include "util/Cp932.h"

#include <windows.h>

#include <climits>

namespace cp932 {
namespace {

// The system's conversions with `flags`; false where they fail or, with `usedDefault`, had to put
// the default character in.
bool ConvertToWide(const std::string& bytes, DWORD flags, std::wstring& wide)
{
    const int length = static_cast<int>(bytes.size() > INT_MAX ? INT_MAX : bytes.size());
    const int needed = ::MultiByteToWideChar(kCodePage, flags, bytes.data(), length, nullptr, 0);
    if (needed <= 0) return false;
    wide.resize(static_cast<size_t>(needed));
    return ::MultiByteToWideChar(kCodePage, flags, bytes.data(), length, wide.data(), needed) == needed;
}

bool ConvertFromWide(const wchar_t* wide, size_t count, DWORD flags, BOOL* usedDefault, std::string& bytes)
{
    const int length = static_cast<int>(count > INT_MAX ? INT_MAX : count);
    const int needed = ::WideCharToMultiByte(kCodePage, flags, wide, length, nullptr, 0, nullptr, usedDefault);
    if (needed <= 0 || (usedDefault && *usedDefault)) return false;
    bytes.resize(static_cast<size_t>(needed));
    return ::WideCharToMultiByte(kCodePage, flags, wide, length, bytes.data(), needed, nullptr, usedDefault) ==
               needed &&
           !(usedDefault && *usedDefault);
}

}  // namespace

std::optional<std::wstring> ToWide(const std::string& bytes)
{
    std::wstring wide;
    if (bytes.empty()) return wide;
    if (bytes.size() > INT_MAX || !ConvertToWide(bytes, MB_ERR_INVALID_CHARS, wide)) return std::nullopt;
    return wide;
}

std::optional<std::string> FromWide(const wchar_t* wide, size_t count)
{
    std::string bytes;
    if (count == 0) return bytes;
    BOOL usedDefault = FALSE;
    if (count > INT_MAX || !ConvertFromWide(wide, count, WC_NO_BEST_FIT_CHARS, &usedDefault, bytes))
        return std::nullopt;
    return bytes;
}

std::optional<std::string> FromWide(const std::wstring& wide) { return FromWide(wide.data(), wide.size()); }

std::wstring ToWideLossy(const std::string& bytes)
{
    if (auto wide = ToWide(bytes)) return *wide;
    std::wstring wide;
    (void)ConvertToWide(bytes, 0, wide);
    return wide;
}

std::string FromWideLossy(const std::wstring& wide)
{
    if (auto bytes = FromWide(wide)) return *bytes;
    std::string bytes;
    (void)ConvertFromWide(wide.data(), wide.size(), 0, nullptr, bytes);
    return bytes;
}

}  // namespace cp932
