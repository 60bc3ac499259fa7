#pragma once
// The game in Windows' list of installed programs: the per-user entry, and the uninstaller it
// starts, a copy of Setup.exe and its Setup.ini in a folder of its own outside the install folder.
// Results, never messages.

#include <optional>
#include <string>

#include "setup/FolderName.h"
#include "util/Result.h"

namespace setup::entry {

inline constexpr char kProgram[] = "Setup.exe";
inline constexpr char kIni[] = "Setup.ini";
// The uninstaller's folder is named InstallDir + this: a name of its own, so that no folder of the
// game's (its saves, say) is ever taken for it.
inline constexpr char kFolderSuffix[] = " Uninstall";

// Copies `program` and its ini file into `folder`, made when missing. False when either copy fails.
[[nodiscard]] bool CopyProgram(const std::string& program, const std::string& folder);
// Deletes the two files of such a copy, then its folder when that leaves it empty.
void RemoveProgramCopy(const std::string& folder) noexcept;

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
// What could not be written: the uninstaller's folder or the entry's key, with the system's code.
[[nodiscard]] Result Register(const FolderName& installDir, const std::string& program, const Entry& entry);
// Deletes the entry, the uninstaller's two files and its folder when that leaves it empty.
void Unregister(const FolderName& installDir) noexcept;

}  // namespace setup::entry
