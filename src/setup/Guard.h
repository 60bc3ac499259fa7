#pragma once
// The guard: what the installer may empty or remove. Nothing outside the game's own folders is
// ever emptied or removed, whatever an install record or a setup file names. Results, never
// messages.

#include <string>

#include "setup/FolderName.h"
#include "util/Folders.h"

namespace setup {

// Removes the levels that a creation made, innermost first, each only when it is empty and the
// guard allows.
void RemoveLevelsMade(const FolderLevels& levels) noexcept;

// Deletes the files directly in `folder` (read-only, hidden and system ones too); subfolders are
// left alone. Nothing at all in a folder that the guard refuses.
void DeleteFolderFiles(const std::string& folder) noexcept;

// Removes `folder` when it is empty, then each enclosing folder that this leaves empty, by whole
// characters, never the drive and never past the 100th backslash; the walk stops at the first
// folder that holds entries, that the guard refuses or that is a link. A `folder` that is a link
// goes with the emptied folder it leads to.
void RemoveFolderAndEmptyParents(const std::string& folder) noexcept;

// The guard of the three above: false for an empty or relative path, a drive or share root, and the
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

}  // namespace setup
