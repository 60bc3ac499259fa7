#pragma once
// The one place where the program's code-page-932 byte strings meet Windows' UTF-16. Code page 932
// is named explicitly, so the system locale never matters.

#include <optional>
#include <string>

namespace cp932 {

constexpr unsigned kCodePage = 932;

// Nothing when `bytes` is not valid code page 932.
[[nodiscard]] std::optional<std::wstring> ToWide(const std::string& bytes);
// Nothing when a character has no code-page-932 form; no silent '?'.
[[nodiscard]] std::optional<std::string> FromWide(const std::wstring& wide);
[[nodiscard]] std::optional<std::string> FromWide(const wchar_t* wide, size_t length);

// For texts the program itself composed: an invalid byte becomes U+30FB rather than failing.
[[nodiscard]] std::wstring ToWideLossy(const std::string& bytes);
[[nodiscard]] std::string FromWideLossy(const std::wstring& wide);

}  // namespace cp932
