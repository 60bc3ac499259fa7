#pragma once
// The folder operations that create or delete, each with its guard: nothing outside the game's own
// folders is ever emptied or removed. They return results and never show a message.

#include <string>
#include <vector>

#include "util/FolderName.h"

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

// Removes the levels that a creation made, innermost first, each only when it is empty and the
// guard below allows.
void RemoveLevelsMade(const FolderLevels& levels) noexcept;

// True when `folder` (no trailing backslash) holds any file or subfolder.
[[nodiscard]] bool FolderHasEntries(const std::string& folder) noexcept;

// True when `folder` (no trailing backslash) holds a file directly; its subfolders do not count.
[[nodiscard]] bool FolderHoldsFiles(const std::string& folder) noexcept;

// Deletes the files directly in `folder` (read-only, hidden and system ones too); subfolders are
// left alone. Nothing at all in a folder that the guard refuses.
void DeleteFolderFiles(const std::string& folder) noexcept;

// Deletes the file `path`, as it is: a path of 260 bytes or more, or one without a code-page-932
// form, is passed over; a failure is ignored. A link is never followed: an entry that the system
// would delete as the file it leads to (Wine with a Unix symlink) stays.
void DeleteFileAt(const std::string& path) noexcept;

// Whether anything is at `path`: a file or folder, or an entry that is there but cannot be looked
// at. False for a path of 260 bytes or more and for a device. With `filesOnly`, a folder counts as
// nothing.
[[nodiscard]] bool PathExists(const std::string& path, bool filesOnly = false) noexcept;

// Removes `folder` when it is empty, then each enclosing folder that this leaves empty, by whole
// characters, never the drive and never past the 100th backslash; the walk stops at the first
// folder that holds entries, that the guard refuses or that is a link. A `folder` that is a link
// goes with the emptied folder it leads to.
void RemoveFolderAndEmptyParents(const std::string& folder) noexcept;

// The guard of the two above: false for an empty or relative path, a drive or share root, and the
// system's and the player's known folders (Windows, system, both Program Files and Common Files
// folders, profile, Desktop, Documents, AppData, ProgramData, Start menu and Programs, current
// user's and all users', and the temporary folder) or any folder above one of them; the same for
// where the folder leads when it is a link or lies below one, and false when that cannot be told.
[[nodiscard]] bool MayEmptyOrRemove(const std::string& folder) noexcept;

// The one guard of the game's own folder, for the uninstall and the destination dialog: `folder`
// (no final separator) passes the guard above and its last level is the last level of
// `installDir`, compared exactly as the destination dialog's name check compares; where it leads,
// when it is a link, bears that name too (in any letter case). A folder that
// fails it is one of the player's: nothing in it is deleted and it is never removed.
[[nodiscard]] bool IsGameFolder(const std::string& folder, const FolderName& installDir) noexcept;
