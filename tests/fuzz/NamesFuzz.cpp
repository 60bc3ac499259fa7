// Any bytes as a path or a file-list entry: the name rules.

#include <cstddef>
#include <cstdint>
#include <string>

#include "Check.h"
#include "util/Names.h"

namespace {

bool EndsWith(const std::string& text, const std::string& tail)
{
    return tail.size() <= text.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path(reinterpret_cast<const char*>(data), size);

    const std::string fileName = FileNamePart(path);
    FUZZ_CHECK(EndsWith(path, fileName));
    const std::string stored = StoredName(path);
    FUZZ_CHECK(EndsWith(path, stored));
    FUZZ_CHECK(EndsWith(stored, fileName));

    const std::string extension = Extension(path);
    FUZZ_CHECK(EndsWith(fileName, extension));
    FUZZ_CHECK(extension.empty() || extension[0] == '.');

    if (IsSoundEntry(path)) FUZZ_CHECK(fileName.size() >= 3);

    for (const std::string& folder : {WithoutTrailingBackslash(path), GameWorkingFolder(path)}) {
        FUZZ_CHECK(folder == path || (folder.size() + 1 == path.size() && path.back() == '\\' &&
                                      path.compare(0, folder.size(), folder) == 0));
    }
    FUZZ_CHECK(FitsSystemPath(path) == (path.size() <= kMaxPathBytes));
    return 0;
}
