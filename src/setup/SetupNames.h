#pragma once
// The setup file's own name rules: the names that its entries, its folder names and its game name
// give to files, shortcuts and keys. Plain C++, built on the code-page-932 path rules.

#include <optional>
#include <string>
#include <string_view>

namespace setup {

// The name a file-list entry is stored under: its file-name part when that is a usable file name
// (IsFileName), else empty. The copy, its rollback, the uninstall and the game's start all use it,
// so they agree on every file; an entry with an empty stored name is never created or deleted.
[[nodiscard]] std::string StoredName(const std::string& entry);

// An entry whose file-name part begins with "wav" in any letter case: sound data.
[[nodiscard]] bool IsSoundEntry(const std::string& entry);

// Whether the first level of a folder name is a key below HKEY_CURRENT_USER\Software that Windows
// or other programs own (Microsoft, Classes, Policies, Wow6432Node, ...), in any letter case.
[[nodiscard]] bool IsOwnedKeyName(std::string_view folderName) noexcept;

// A shortcut's file name (without ".lnk") for the name a link is shown under: each character that
// no file name may hold becomes its full-width form (星/海 becomes 星／海); nothing when the result
// is still no file name (empty, dots only, a device, a control character, half a character).
[[nodiscard]] std::optional<std::string> ShortcutFileName(std::string_view name);

// The setup file of a program: its full path with the extension of its file name replaced by
// "ini", or ".ini" appended to a name without one.
[[nodiscard]] std::string IniPathFor(const std::string& programPath);

}  // namespace setup
