#pragma once
// The install record: HKEY_CURRENT_USER\Software\<InstallDir>, string value Dir = the install
// folder with one final backslash. Read by the main menu, written by the installation, deleted by
// the uninstall; nothing else names the key.

#include <optional>
#include <string>

namespace record {

// "Software\" + installDir when installDir names a key of the game's own strictly below Software
// (the setup file's rule for InstallDir); nothing otherwise, and then no key is read, written or
// deleted.
[[nodiscard]] std::optional<std::string> KeyPath(const std::string& installDir);

struct Dir {
    std::string dir;    // the recorded folder as stored; empty when there is no record
    std::string error;  // why the value cannot be used; empty when it can
};
[[nodiscard]] Dir Read(const std::string& installDir);

struct Written {
    bool opened = false;  // the key could be opened or created
    Dir readBack;         // the value as stored, read again, once written
};
// Writes `folder` + "\" as Dir. When the key cannot be opened nothing is written; when the value
// cannot be written, readBack.error says so.
[[nodiscard]] Written Write(const std::string& installDir, const std::string& folder);

// Deletes the key with everything below it. False when there was none or it stayed.
bool Delete(const std::string& installDir) noexcept;

}  // namespace record
