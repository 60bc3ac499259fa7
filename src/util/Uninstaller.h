#pragma once
// The game in Windows' list of installed programs: the per-user entry, and the uninstaller it
// starts, a copy of Setup.exe and its Setup.ini in a folder of its own outside the install folder.
// Started from the list, that copy hands over to a temporary copy of itself and ends, so that the
// uninstall can delete the uninstaller's folder: on Windows a running program's file cannot be
// deleted, and the temporary copy is left where the system cleans up. Results, never messages.

#include <optional>
#include <string>

#include "util/FolderName.h"

namespace uninstaller {

// Software\Microsoft\Windows\CurrentVersion\Uninstall\<name> below HKEY_CURRENT_USER, the name
// being InstallDir with each backslash made "_".
[[nodiscard]] std::string EntryKey(const FolderName& installDir);
// The uninstaller's folder below the local application-data folder; nothing when there is none.
[[nodiscard]] std::optional<std::string> Folder(const FolderName& installDir);

struct Entry {
    std::string displayName;      // GameName, or InstallDir when it is empty
    std::string installLocation;  // the install folder with its final backslash
    unsigned long long sizeKB = 0;
};
// Copies `program` and its ini file into the uninstaller's folder, then writes the entry anew.
// False when either could not be done.
[[nodiscard]] bool Register(const FolderName& installDir, const std::string& program, const Entry& entry);
// Deletes the entry, the uninstaller's two files and its folder when that leaves it empty.
void Unregister(const FolderName& installDir) noexcept;

// When `program` runs from an uninstaller's folder (below the local application-data folder, its
// name ending in " Uninstall"): copies it with its ini file into a new folder below the temporary
// folder and starts that copy there. True when the copy runs and this one is to end at once, before
// it takes the single-instance guard.
[[nodiscard]] bool HandOver(const std::string& program);

}  // namespace uninstaller
