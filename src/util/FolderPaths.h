#pragma once
// The byte rules behind the folder operations, on code-page-932 paths: which backslashes separate
// levels (a backslash or a slash, by whole characters, so a trail byte 0x5C never does), which levels a creation makes, which
// parents a removal tries, and which paths name a whole drive or share. Plain C++, no system call.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace folders {

// Only this many separators of a path are taken into account when its parents are removed.
inline constexpr size_t kMaxSeparators = 100;

// The offsets of the first kMaxSeparators separators that begin a character, in path order.
[[nodiscard]] std::vector<size_t> SeparatorOffsets(std::string_view path);

// The enclosing folders that a removal of `path` tries, innermost first: the path cut before each
// recorded separator but the first, from the last recorded one down. The first level (the drive)
// is never among them.
[[nodiscard]] std::vector<std::string> ParentsToRemove(std::string_view path);

// True when the last byte of `path` is a lead byte that has no trail byte: a character cut in half.
[[nodiscard]] bool EndsInLoneLeadByte(std::string_view path) noexcept;

// The folders that creating `path` level by level makes, in order; the first level (the drive, or
// whatever precedes the first separator) is never among them, and the last is the path itself
// (when it ends in a backslash, the path with it once more). Empty for an empty path.
[[nodiscard]] std::vector<std::string> LevelsToCreate(std::string_view path);

// A path that is not fully qualified: empty, without a drive or server (name, \name), or relative
// to a drive's current folder (C:name).
[[nodiscard]] bool IsRelativePath(std::string_view path) noexcept;

// A fully qualified path that names a whole drive or share: C:, C:\, \\server, \\server\share with
// or without a final backslash, and any device path (\\?\..., \\.\...).
[[nodiscard]] bool IsDriveOrShareRoot(std::string_view path) noexcept;

// A colon anywhere but after a drive letter: an alternate data stream or a device, never a folder.
[[nodiscard]] bool HasStreamColon(std::string_view path) noexcept;

}  // namespace folders
