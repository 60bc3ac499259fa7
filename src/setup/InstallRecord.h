#pragma once
// The install record: HKEY_CURRENT_USER\Software\<InstallDir>, string value Dir = the install
// folder with one final backslash. Read by the main menu, written by the installation, deleted by
// the uninstall; nothing else names the key.

#include <optional>
#include <string>

#include "setup/FolderName.h"
#include "util/Registry.h"

namespace setup::record {

// "Software\" + installDir: a key of the game's own strictly below Software, as the InstallDir rule
// makes sure.
[[nodiscard]] std::string KeyPath(const FolderName& installDir);

// Dir as stored (empty when there is no record), or why it cannot be used.
[[nodiscard]] RegistryText Read(const FolderName& installDir);

struct Written {
    bool opened = false;    // the key could be opened or created
    RegistryText readBack;  // the value as stored, read again, once written
};
// Writes `folder` + "\" as Dir. When the key cannot be opened nothing is written; when the value
// cannot be written, readBack.status says so.
[[nodiscard]] Written Write(const FolderName& installDir, const std::string& folder);

// Deletes Dir, then the key when nothing else is left in it: another value or a subkey (another
// game's record below this one) keeps it. True when the key was there and holds no Dir any more.
bool Delete(const FolderName& installDir) noexcept;

}  // namespace setup::record
