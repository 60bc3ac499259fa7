#pragma once
// A folder name from the setup file (InstallDir, ShortCut), checked once where it is read: only the
// folder rule can make one, so every later use (the install folder, the record key, the
// uninstaller's folder, the list entry, the Start-menu folder) takes a name that passed it.

#include <optional>
#include <string>
#include <string_view>

namespace setup {

class FolderName {
public:
    // Levels separated by single backslashes, each a file name (IsFolderName); nothing otherwise.
    [[nodiscard]] static std::optional<FolderName> Parse(std::string_view text);
    // An install folder's name, which also names the install record's key below Software: the
    // folder rule, and a first level that no other program owns there (IsOwnedKeyName).
    [[nodiscard]] static std::optional<FolderName> ParseInstallDir(std::string_view text);

    [[nodiscard]] const std::string& Text() const noexcept { return text_; }
    // The last level: the name of the folder itself.
    [[nodiscard]] std::string LastLevel() const;
    // Whether `folder`'s last level is this name's last level, exactly (letter case counts): the
    // name part of the game's-own-folder check.
    [[nodiscard]] bool IsLastLevelOf(const std::string& folder) const;

private:
    explicit FolderName(std::string_view text) : text_(text) {}
    std::string text_;
};

}  // namespace setup
