// Any bytes as a folder path: the walks behind folder creation and removal.

#include <cstddef>
#include <cstdint>
#include <string>

#include "Check.h"
#include "util/FolderPaths.h"
#include "util/Names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path(reinterpret_cast<const char*>(data), size);

    const auto separators = folders::SeparatorOffsets(path);
    FUZZ_CHECK(separators.size() <= folders::kMaxSeparators);
    for (size_t i = 0; i < separators.size(); ++i) {
        FUZZ_CHECK(separators[i] < path.size() && IsPathSeparator(path[separators[i]]));
        if (i > 0) FUZZ_CHECK(separators[i - 1] < separators[i]);
    }

    // Each parent a removal tries is a shorter prefix of the path, the first level never among them.
    const auto parents = folders::ParentsToRemove(path);
    FUZZ_CHECK(parents.size() + 1 == separators.size() || (separators.empty() && parents.empty()));
    size_t previous = path.size();
    for (const std::string& parent : parents) {
        FUZZ_CHECK(parent.size() < previous && path.compare(0, parent.size(), parent) == 0);
        FUZZ_CHECK(IsPathSeparator(path[parent.size()]));
        FUZZ_CHECK(parent.size() > separators.front());
        previous = parent.size();
    }

    // The levels a creation makes grow towards the path itself.
    const auto levels = folders::LevelsToCreate(path);
    previous = 0;
    for (const std::string& level : levels) {
        FUZZ_CHECK(level.size() >= previous && path.compare(0, level.size(), level) == 0);
        previous = level.size();
    }
    if (!path.empty() && !levels.empty()) FUZZ_CHECK(levels.back().size() == path.size() || IsPathSeparator(path.back()));

    (void)folders::EndsInLoneLeadByte(path);
    if (folders::IsDriveOrShareRoot(path)) FUZZ_CHECK(!folders::IsRelativePath(path));
    return 0;
}
