#pragma once
// The setup configuration: the ini file beside the program that names the game, its install
// folder, its Start-menu entries, the optional movie and picture, and the ordered list of files.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "setup/FolderName.h"
#include "setup/SetupNames.h"

namespace setup {

struct SetupConfig {
    // More entries than any disc holds; a larger Count marks the file as broken rather than
    // making the program build a list of millions of empty entries.
    static constexpr int32_t kMaxFileCount = 100000;

    std::string GameName, ShortCut_GDI, Movie, WallPaper;
    // The two folder names, checked here once: nothing for an InstallDir that is missing or breaks
    // the rule, nothing for an empty ShortCut (the game has no Start-menu folder).
    std::optional<FolderName> InstallDir, ShortCut;
    bool brokenShortCut = false;  // a ShortCut that breaks the rule
    int32_t FileCount = 0;           // [Files] Count as written, negative values included
    std::vector<std::string> Files;  // File1..File<Count>, empty ones too; none when Count <= 0

    // False when the program cannot go on with this configuration.
    [[nodiscard]] bool Usable() const noexcept;
};

[[nodiscard]] SetupConfig ParseSetupConfig(std::string_view iniBytes);

#ifdef _WIN32
// Reads and parses the file; a missing, unreadable or oversized file gives the values for missing
// keys, so the result is not usable.
[[nodiscard]] SetupConfig LoadSetupConfig(const std::string& iniPath);
#endif

}  // namespace setup
