#pragma once
// Name rules for code-page-932 paths and file-list entries. Plain C++ so that they can be checked
// anywhere; every part of the program that splits a path or an entry uses these.

#include <string>
#include <string_view>

// True when `b` begins a two-byte Shift-JIS character.
[[nodiscard]] bool IsLeadByte(unsigned char b) noexcept;
// True when `b` can be the second byte of a two-byte character.
[[nodiscard]] bool IsTrailByte(unsigned char b) noexcept;

// The text after the last backslash or colon, walking whole characters so that a trail byte 0x5C
// is never a separator; the whole text when there is none.
[[nodiscard]] std::string FileNamePart(const std::string& path);

// The name a file-list entry is stored under: the text after its last backslash, by whole characters
// (a trail byte 0x5C is never a separator), the first byte never counting as one. The copy, its
// rollback and the uninstall all use it.
[[nodiscard]] std::string StoredName(const std::string& entry);

// From the last dot of the file-name part to the end, dot included; empty when there is none.
[[nodiscard]] std::string Extension(const std::string& path);

// ASCII letters in lower case, two-byte characters kept whole (their second byte may be a letter):
// how names are compared without regard to letter case.
[[nodiscard]] std::string LowerAscii(std::string_view text);

// An entry whose file-name part begins with "wav" in any letter case: sound data.
[[nodiscard]] bool IsSoundEntry(const std::string& entry);

// Whether the last whole character is a backslash: a final two-byte character never counts.
[[nodiscard]] bool EndsWithBackslash(const std::string& path) noexcept;

// `folder` without one final backslash, unless the byte before that backslash is a lead byte.
[[nodiscard]] std::string WithoutTrailingBackslash(const std::string& folder);

// The game's working folder: the installed folder without one trailing backslash, unless the byte
// before that backslash is a backslash too.
[[nodiscard]] std::string GameWorkingFolder(const std::string& installedDir);

// A name that Windows takes for a device in any folder, whatever its extension or stream: CON,
// PRN, AUX, NUL, COM1..COM9, LPT1..LPT9, CONIN$, CONOUT$ in any letter case ("nul.txt", "COM1 ").
[[nodiscard]] bool IsDeviceName(std::string_view name) noexcept;
// Whether a path's last level names a device (C:\x\NUL, NUL:, C:COM1).
[[nodiscard]] bool IsDevicePath(std::string_view path) noexcept;

// Whether `installDir` can only name a folder of the game's own below whatever folder it is put in,
// and a registry key strictly below HKEY_CURRENT_USER\Software: levels separated by single
// backslashes, none empty, none made of dots and spaces only (".", ".."), none a device name, no
// colon, no character that no file name may hold (judged by whole characters: the second byte of
// ポ, 0x7C, is no '|'), and every two-byte character whole.
[[nodiscard]] bool IsInstallDirName(std::string_view installDir) noexcept;

// Whether a path fits the system's paths: at most 259 bytes, so that it and its terminating zero fit
// MAX_PATH. Longer paths are refused wherever they would be used, never cut.
constexpr size_t kMaxPathBytes = 259;
[[nodiscard]] constexpr bool FitsSystemPath(std::string_view path) noexcept { return path.size() <= kMaxPathBytes; }
