#pragma once
// Name rules for code-page-932 paths. Plain C++ so that they can be checked anywhere; every part
// of the program that splits a path uses these.

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
// after it, and for IsFileName, which refuses such a byte. The path rules keep NextChar,
// which takes any byte after a lead byte.
[[nodiscard]] size_t NextValidChar(std::string_view text, size_t i) noexcept;

// Windows takes both as the separator of two levels of a path.
[[nodiscard]] constexpr bool IsPathSeparator(char c) noexcept { return c == '\\' || c == '/'; }

// The text after the last separator or colon, walking whole characters so that a trail byte 0x5C
// is never a separator; the whole text when there is none.
[[nodiscard]] std::string FileNamePart(const std::string& path);

// From the last dot of the file-name part to the end, dot included; empty when there is none.
[[nodiscard]] std::string Extension(const std::string& path);

// Whether `text` is `upper` (written in upper case) with ASCII letters in any case: how ASCII names
// (devices, registry keys) are compared without allocating.
[[nodiscard]] bool IsAsciiNameEqual(std::string_view text, std::string_view upper) noexcept;

// ASCII letters in lower case, two-byte characters kept whole (their second byte may be a letter):
// how names are compared without regard to letter case.
[[nodiscard]] std::string LowerAscii(std::string_view text);

// The one final-separator rule. A path is read by whole characters from its start, so ソ's second
// byte 0x5C never counts and a backslash after ン (0x83 0x93) always does.
// Whether the last character of `path` is a separator.
[[nodiscard]] bool EndsWithSeparator(std::string_view path) noexcept;
// `folder` without one final separator: the install record's Dir (always written as the folder
// plus one backslash) as the folder that is started in, checked and removed. A drive's root keeps
// its backslash: "C:" alone would name the drive's current folder.
[[nodiscard]] std::string WithoutFinalSeparator(const std::string& folder);

// A name that Windows takes for a device in any folder, whatever its extension or stream: CON,
// PRN, AUX, NUL, COM1..COM9, LPT1..LPT9, CONIN$, CONOUT$ in any letter case ("nul.txt", "COM1 ").
[[nodiscard]] bool IsDeviceName(std::string_view name) noexcept;
// Whether a path's last level names a device (C:\x\NUL, NUL:, C:COM1).
[[nodiscard]] bool IsDevicePath(std::string_view path) noexcept;

// Whether `name` can be one level of a path, a file or folder of its own: not empty, not made of
// dots and spaces only (".", ".."), no device name, no control character and none of
// \ / : * ? " < > | (judged by whole characters: the second byte of ポ, 0x7C, is no '|'), and
// every two-byte character whole.
[[nodiscard]] bool IsFileName(std::string_view name) noexcept;

// Whether `text` names a folder of its own below whatever folder it is put in: levels separated by
// single backslashes, each a file name (IsFileName). The rule for every folder that the setup file
// names (FolderName).
[[nodiscard]] bool IsFolderName(std::string_view text) noexcept;

// Whether a path fits the system's paths: at most 259 bytes, so that it and its terminating zero fit
// MAX_PATH. Longer paths are refused wherever they would be used, never cut.
constexpr size_t kMaxPathBytes = 259;
[[nodiscard]] constexpr bool FitsSystemPath(std::string_view path) noexcept { return path.size() <= kMaxPathBytes; }
