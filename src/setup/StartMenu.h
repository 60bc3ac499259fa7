#pragma once
// The game's Start-menu folder: a Programs folder + "\" + ShortCut. The installation fills the
// current user's one with shortcuts; the removal clears it under the current user's and the all
// users' Programs folders. Results, never messages.

#include <optional>
#include <string>
#include <vector>

#include "setup/FolderName.h"

namespace setup::startmenu {

// The game's folder below `programs`; nothing for a path of 260 bytes or more.
[[nodiscard]] std::optional<std::string> Folder(const std::string& programs, const FolderName& shortCut);

struct Shortcut {
    std::string name;                   // what the link is shown as, without ".lnk" (ShortcutFileName)
    std::optional<std::string> target;  // nothing when the file list does not hold the entry
};

// Creates the current user's folder and one link per shortcut, in order, each with `workingFolder`.
// The links not made: one per shortcut that could not be saved or whose name makes no file name,
// or one empty path for all when the Programs folder cannot be found. Without a `shortCut` nothing
// is made and nothing fails.
[[nodiscard]] std::vector<std::string> MakeShortcuts(const std::optional<FolderName>& shortCut,
                                                const std::vector<Shortcut>& shortcuts, const std::string& workingFolder);

// Empties and removes the game's folder under the current user's Programs folder, then under the
// all users' one, with the enclosing folders that this leaves empty.
// Nothing without a `shortCut`.
void Remove(const std::optional<FolderName>& shortCut) noexcept;

}  // namespace setup::startmenu
