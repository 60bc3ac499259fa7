#include "util/Cp932.h"

#include <windows.h>

#include <climits>

namespace cp932 {

std::optional<std::wstring> ToWide(const std::string& bytes)
{
    if (bytes.empty()) return std::wstring();
    if (bytes.size() > INT_MAX) return std::nullopt;
    const int length = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (needed <= 0) return std::nullopt;
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    if (::MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(), needed) != needed)
        return std::nullopt;
    return wide;
}

std::optional<std::string> FromWide(const wchar_t* wide, size_t count)
{
    if (count == 0) return std::string();
    if (count > INT_MAX) return std::nullopt;
    const int length = static_cast<int>(count);
    BOOL usedDefault = FALSE;
    const int needed =
        ::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, &usedDefault);
    if (needed <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<size_t>(needed), '\0');
    if (::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, length, bytes.data(), needed, nullptr,
                              &usedDefault) != needed ||
        usedDefault)
        return std::nullopt;
    return bytes;
}

std::optional<std::string> FromWide(const std::wstring& wide) { return FromWide(wide.data(), wide.size()); }

std::wstring ToWideLossy(const std::string& bytes)
{
    if (auto wide = ToWide(bytes)) return *wide;
    std::wstring wide;
    const int length = static_cast<int>(bytes.size() > INT_MAX ? INT_MAX : bytes.size());
    const int needed = ::MultiByteToWideChar(kCodePage, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) return wide;
    wide.resize(static_cast<size_t>(needed));
    ::MultiByteToWideChar(kCodePage, 0, bytes.data(), length, wide.data(), needed);
    return wide;
}

std::string FromWideLossy(const std::wstring& wide)
{
    if (auto bytes = FromWide(wide)) return *bytes;
    std::string bytes;
    const int length = static_cast<int>(wide.size() > INT_MAX ? INT_MAX : wide.size());
    const int needed = ::WideCharToMultiByte(kCodePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return bytes;
    bytes.resize(static_cast<size_t>(needed));
    ::WideCharToMultiByte(kCodePage, 0, wide.data(), length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

}  // namespace cp932
