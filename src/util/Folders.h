#pragma once
// The folder and file operations under the installer's rules: levels created one by one, entries
// looked at, a file deleted only as itself, paths spelled one way for comparing. What may be emptied
// or removed is decided by the guard (setup/Guard.h). Results, never messages.

#include <optional>
#include <string>
#include <vector>

// Creates `path` level by level; the first level (the drive, or the server and share) is never
// created; a trail byte 0x5C never separates levels. True only when the last level was newly made.
// Paths of 260 bytes or more and paths that end in half a character are refused: false, nothing made.
[[nodiscard]] bool CreateFolderPath(const std::string& path) noexcept;

// What one creation of a folder path did.
struct FolderLevels {
    std::vector<std::string> made;  // the levels it newly made, outermost first
    bool folder = false;            // the whole path is a folder now, new or not
};
// The same, telling which levels it made, so that exactly those can be removed again, and whether
// the path is a folder, so that one that exists is told from one that cannot be made.
[[nodiscard]] bool CreateFolderPath(const std::string& path, FolderLevels& levels) noexcept;

// True when `folder` (no trailing backslash) holds any file or subfolder.
[[nodiscard]] bool FolderHasEntries(const std::string& folder) noexcept;

// True when `folder` (no trailing backslash) holds a file directly; its subfolders do not count.
[[nodiscard]] bool FolderHoldsFiles(const std::string& folder) noexcept;

// Deletes the file `path`, as it is: a path of 260 bytes or more, or one without a code-page-932
// form, is passed over; a failure is ignored. A link is never followed: an entry that the system
// would delete as the file it leads to (Wine with a Unix symlink) stays.
void DeleteFileAt(const std::string& path) noexcept;

// Whether anything is at `path`: a file or folder, or an entry that is there but cannot be looked
// at. False for a path of 260 bytes or more and for a device. With `filesOnly`, a folder counts as
// nothing.
[[nodiscard]] bool PathExists(const std::string& path, bool filesOnly = false) noexcept;

// Long names for the levels of fully qualified paths, each level looked up once: the known folders
// share most of their upper levels, and every lookup is a trip to the file system.
class LongNames {
public:
    [[nodiscard]] std::wstring Of(const std::wstring& full);

private:
    std::vector<std::wstring> levels_;  // a prefix as given, then its long spelling
};

// One spelling per folder, for comparing: fully qualified, "." and ".." resolved, long names, no
// final backslash except a drive's, upper case. Nothing when the path cannot be resolved.
[[nodiscard]] std::optional<std::wstring> CanonicalPath(const std::wstring& path, LongNames& longNames);

// Where `path` leads once every link and junction on the way is followed: the path itself when
// nothing is there; nothing when something is there but where it leads cannot be told. A system
// without the final-path call (before Vista) has junctions only, and such a folder is not followed.
[[nodiscard]] std::optional<std::wstring> ResolvedPath(const std::wstring& path);

// `text` in upper case, as the file system compares names.
[[nodiscard]] std::wstring UpperPath(std::wstring text);

void ClearReadOnly(const std::wstring& path) noexcept;

// Deletes the file `file` only as itself. Where the system follows a link when it deletes (Wine
// deletes a Unix symlink's target), an entry that leads elsewhere is left in place; a link that the
// system opens as itself (Windows) leads nowhere else and goes as a link.
void DeleteAsItself(const std::wstring& file, bool clearReadOnly);

// Removes `folder` when it is empty, read-only or not; no check of whether it may go.
void RemoveEmptyFolder(const std::string& folder) noexcept;
