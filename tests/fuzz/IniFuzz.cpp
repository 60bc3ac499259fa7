// Any bytes as a Setup.ini: the reader and the configuration built from it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Check.h"
#include "setup/IniReader.h"
#include "setup/SetupConfig.h"
#include "util/Names.h"

namespace {

void CheckValue(const std::string& value)
{
    FUZZ_CHECK(value.size() <= setup::IniReader::kMaxValueBytes);
    // A value ends at its line and at a zero byte.
    FUZZ_CHECK(value.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const setup::IniReader ini(bytes);
    CheckValue(ini.ReadString("Setup", "GameName", std::string(5000, 'x')));
    (void)setup::IniReader::ToInteger(bytes);
    // A list of tens of thousands of entries reads the same way as a short one, only slower.
    if (ini.ReadInteger("Files", "Count", 0) > 1000) return 0;

    const setup::SetupConfig config = setup::ParseSetupConfig(bytes);
    for (const std::string* value : {&config.GameName, &config.ShortCut_GDI, &config.Movie, &config.WallPaper})
        CheckValue(*value);
    // The folder names are what the file says, when they pass the rule.
    for (const auto& [name, key] : {std::pair{&config.InstallDir, "InstallDir"}, std::pair{&config.ShortCut, "ShortCut"}})
        if (*name) FUZZ_CHECK((*name)->Text() == ini.ReadString("Setup", key, "") && IsFolderName((*name)->Text()));
    if (config.Usable()) FUZZ_CHECK(config.InstallDir && !config.brokenShortCut);
    FUZZ_CHECK(config.Files.size() == (config.FileCount > 0 && config.FileCount <= setup::SetupConfig::kMaxFileCount
                                           ? static_cast<size_t>(config.FileCount)
                                           : 0));
    for (const std::string& file : config.Files) CheckValue(file);

    FUZZ_CHECK(ini.ReadString("setup", "gamename", "") == config.GameName);
    return 0;
}
