#include "setup/SetupConfig.h"

#include "util/File.h"

namespace setup {

namespace {

// Far beyond any real setup file; a larger one is not read into memory.
constexpr unsigned long long kMaxFileBytes = 16ULL * 1024 * 1024;

}  // namespace

SetupConfig LoadSetupConfig(const std::string& iniPath)
{
    return ParseSetupConfig(ReadWholeFile(iniPath, kMaxFileBytes).value_or(std::string()));
}

}  // namespace setup
