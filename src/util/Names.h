#pragma once
// Name rules for code-page-932 paths and file-list entries. Plain C++ so that they can be checked
// anywhere; every part of the program that splits a path or an entry uses these.

#include <cstddef>
#include <string>
#include <string_view>

// True when `b` begins a two-byte Shift-JIS character.
[[nodiscard]] bool IsLeadByte(unsigned char b) noexcept;
// True when `b` can be the second byte of a two-byte character.
[[nodiscard]] bool IsTrailByte(unsigned char b) noexcept;

// The offset of the character after the one at `i` (i < text.size()): i + 2 after a lead byte,
// whatever follows it, else i + 1. A lead byte as the last byte gives text.size() + 1, so a walk
// `while (i < size)` ends and a character cut in half can be told by where it ends.
[[nodiscard]] size_t NextChar(std::string_view text, size_t i) noexcept;
// The same, but a lead byte takes the next byte only when that is a valid trail byte; otherwise it
// is one byte of its own. For the ini reader, so that a broken pair never hides the '=' or ']'
// after it, and for IsInstallDirName, which refuses such a byte. The path rules keep NextChar,
// which takes any byte after a lead byte.
[[nodiscard]] size_t NextValidChar(std::string_view text, size_t i) noexcept;

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

// Three final-backslash rules, one for each place, each as narrow as what it serves needs:

// For the destination dialog: whether a browsed or typed folder already ends in a separator before
// the game's folder name is added. The path is shown and installed to, so it is read by whole
// characters from its start: ソ's second byte 0x5C never counts, a backslash after メ (0x83 0x81)
// always does.
[[nodiscard]] bool EndsWithBackslash(const std::string& path) noexcept;

// For the uninstall: the recorded installed folder that is checked and removed, without one final
// backslash unless the byte before it is a lead byte; only that byte is looked at. A misreading
// keeps the backslash, and a folder that ends in one has no last level to match InstallDir's
// (IsGameFolder), so it can only make the uninstall delete less.
[[nodiscard]] std::string WithoutTrailingBackslash(const std::string& folder);

// For starting the game: the folder it is started in, the installed folder without one final
// backslash unless the byte before it is a backslash too. It is only the new process's current
// folder, so no lead byte is looked at: C:\ソ\ keeps its backslash, unlike above.
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

// The setup file of a program: its full path with the extension of its file name replaced by
// "ini", or ".ini" appended to a name without one.
[[nodiscard]] std::string IniPathFor(const std::string& programPath);

// Whether a path fits the system's paths: at most 259 bytes, so that it and its terminating zero fit
// MAX_PATH. Longer paths are refused wherever they would be used, never cut.
constexpr size_t kMaxPathBytes = 259;
[[nodiscard]] constexpr bool FitsSystemPath(std::string_view path) noexcept { return path.size() <= kMaxPathBytes; }
