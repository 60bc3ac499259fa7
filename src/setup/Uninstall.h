#pragma once
// Uninstalling the game, without its windows: values in, every step tried once, nothing shown.

#include <string>
#include <vector>

#include "setup/FolderName.h"

namespace setup {

// The save file `number` as the game names it: Save000.dat .. Save999.dat.
[[nodiscard]] std::string SaveFileName(int number);
// The 104 save files, in the order they are deleted: Save000.dat .. Save099.dat, Save700.dat,
// Save800.dat, Save900.dat, SaveXXX.dat.
[[nodiscard]] std::vector<std::string> SaveFileNames();

struct InstalledCopy {
    std::string installedDir;            // the record's Dir, with its trailing backslash
    FolderName installDir;               // the record's key below HKEY_CURRENT_USER\Software
    std::optional<FolderName> shortCut;  // the Start-menu folder below a Programs folder; nothing for none
    std::vector<std::string> fileNames;  // the listed files' stored names, in list order (empty: none)
};

struct Choices {
    bool startMenu = true;
    bool game = true;
    bool saves = true;
};

enum class Removal {
    Complete,        // everything it was to delete is gone, the record and the list entry too
    FilesRemain,     // something it was to delete is still there; the record and the entry stay
};

// The uninstall in its fixed order: Start-menu folders, listed files, save files, with every choice
// the rest of the folder's files, the folder and its emptied parents, then the install record and
// the entry in Windows' list of installed programs with its uninstaller. Every step is tried once;
// over-long paths are passed over. The folder's steps are taken only in the game's own folder
// (IsGameFolder). When a listed file, a save file it was
// asked to delete or, with every choice, a file of the folder or the emptied folder is still there
// (a file held open by the running game), the record and the entry are kept, so that the player
// can finish the uninstall later. A subfolder of the game's keeps the folder and is no failure.
[[nodiscard]] Removal RemoveInstalledCopy(const InstalledCopy& copy, Choices choices) noexcept;

}  // namespace setup
