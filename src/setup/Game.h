#pragma once

#include <optional>
#include <string>
#include <vector>

#include "setup/FolderName.h"

namespace setup {

// The game as the setup file gives it, checked.
struct Game {
    FolderName installDir;
    std::string gameName;
    std::optional<FolderName> shortCut;
    std::string shortCutGdi;
    std::string movie;      // the movie's name, empty for none
    std::string wallPaper;  // the picture shown without a movie, empty for none
    std::vector<std::string> entries;  // the first Count entries of the file list
};

}  // namespace setup
