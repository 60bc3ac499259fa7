#pragma once
// The game's Start-menu folder: a Programs folder + "\" + ShortCut. The installation fills the
// current user's one with shortcuts; the removal clears it under the current user's and the all
// users' Programs folders. Results, never messages.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace startmenu {

// The game's folder below `programs`; nothing for an empty `shortCut` (the game has none) or a
// path of 260 bytes or more.
[[nodiscard]] std::optional<std::string> Folder(const std::string& programs, const std::string& shortCut);

struct Shortcut {
    std::string name;                   // the link's name without ".lnk"
    std::optional<std::string> target;  // nothing when the file list does not hold the entry
};

// Creates the current user's folder and one link per shortcut, in order, each with `workingFolder`.
// The number of failures: 1 when the Programs folder cannot be found (nothing is attempted), else
// one per shortcut that could not be saved. An empty `shortCut` makes nothing and fails nothing.
[[nodiscard]] int MakeShortcuts(HWND owner, const std::string& shortCut, const std::vector<Shortcut>& shortcuts,
                                const std::string& workingFolder);

// Empties and removes the game's folder under the current user's Programs folder, then under the
// all users' one, with the enclosing folders that this leaves empty.
void Remove(HWND owner, const std::string& shortCut) noexcept;

}  // namespace startmenu
