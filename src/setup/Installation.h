#pragma once
// The steps of an installation around the copy, without its windows: the rollback of a copy that did
// not finish, and the finishing steps of one that did (the Start-menu shortcuts, the install record).

#include <windows.h>

#include <string>
#include <vector>

#include "setup/CopyEngine.h"
#include "setup/FolderName.h"
#include "setup/Guard.h"
#include "setup/InstallPlan.h"
#include "setup/InstallRecord.h"

namespace setup {

// What the finishing steps need, taken once from the configuration and the destination dialog.
struct Finishing {
    std::string destination;  // the install folder, without a final backslash
    FolderName installDir;    // the record's key below HKEY_CURRENT_USER\Software
    std::string gameName;     // the game's shortcut
    std::optional<FolderName> shortCut;  // the Start-menu folder; nothing for none
    std::string shortCutGdi;  // the GDI variant's shortcut; empty for none
    const Plan& plan;         // where the game and its GDI variant stand
    std::string program;      // the running Setup.exe, copied as the uninstaller
    unsigned long long sizeKB = 0;  // the install size as the destination dialog counted it
};

struct Finished {
    int shortcutFailures = 0;  // one message each
    setup::record::Written record;
};

// The files that the finished `copy` set aside are deleted; then the Start-menu folder with the
// game's, the GDI variant's, the readme's and the uninstall note's shortcuts (working folder: the
// destination), then the install record, then, once the record is written, the entry in Windows'
// list of installed programs with its uninstaller.
[[nodiscard]] Finished Finish(HWND owner, const Finishing& values, const CopyResult& copy);

// Undoes a cancelled or failed copy: deletes the files it created, puts every file it set aside
// back under its own name, then removes the folder levels that the installation made (`levels`)
// where they are left empty. A folder that was there before stays, empty or not.
void RollBack(const CopyResult& copy, const FolderLevels& levels) noexcept;

}  // namespace setup
