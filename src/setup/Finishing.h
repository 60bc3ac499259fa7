#pragma once
// The steps of an installation around the copy: the rollback of a copy that did not finish, and
// the finishing steps of one that did (the Start-menu shortcuts, the install record, the entry in
// the list of installed programs).

#include <optional>
#include <string>
#include <vector>

#include "setup/CopyEngine.h"
#include "setup/Game.h"
#include "setup/InstallPlan.h"
#include "setup/InstallRecord.h"
#include "util/Folders.h"
#include "util/Result.h"

namespace setup {

struct Finished {
    std::vector<std::string> shortcutsNotMade;  // their links; one message each
    record::Written record;
    Result entry;  // the list entry and its uninstaller; not tried without a readable record
};

// The files that the finished `copy` set aside are deleted; then the Start-menu folder with the
// game's, the GDI variant's, the readme's and the uninstall note's shortcuts (working folder: the
// destination), then the install record, then, once the record is written, the entry in Windows'
// list of installed programs with its uninstaller. `folder`: the install folder, without a final
// backslash; `plan`: what was copied; `program`: the running Setup.exe, copied as the uninstaller;
// `sizeKB`: the install size as the destination dialog counted it.
[[nodiscard]] Finished Finish(const Game& game, const std::string& folder, const Plan& plan,
                              const std::string& program, unsigned long long sizeKB, const CopyResult& copy);

// Undoes a cancelled or failed copy: deletes the files it created, puts every file it set aside
// back under its own name, then removes the folder levels that the installation made (`levels`)
// where they are left empty. A folder that was there before stays, empty or not.
void RollBack(const CopyResult& copy, const FolderLevels& levels) noexcept;

}  // namespace setup
