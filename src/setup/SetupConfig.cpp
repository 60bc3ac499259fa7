#include "setup/SetupConfig.h"

#include <utility>

#include "setup/IniReader.h"
#include "util/Format.h"
#include "util/Names.h"

namespace setup {

bool SetupConfig::Usable() const noexcept
{
    // A folder name that could name a folder other than the game's own (the drive root for "..",
    // a device, another drive, the profile above the Programs folder) is as unusable as a missing one.
    return InstallDir && !brokenShortCut && FileCount <= kMaxFileCount;
}

SetupConfig ParseSetupConfig(std::string_view iniBytes)
{
    const IniReader ini(iniBytes);
    SetupConfig config;
    static constexpr std::pair<std::string SetupConfig::*, const char*> kSetupKeys[] = {
        {&SetupConfig::GameName, "GameName"},
        {&SetupConfig::ShortCut_GDI, "ShortCut_GDI"},
        {&SetupConfig::Movie, "Movie"},
        {&SetupConfig::WallPaper, "WallPaper"},
    };
    for (const auto& [member, key] : kSetupKeys) config.*member = ini.ReadString("Setup", key, "");
    config.InstallDir = FolderName::ParseInstallDir(ini.ReadString("Setup", "InstallDir", ""));
    const std::string shortCut = ini.ReadString("Setup", "ShortCut", "");
    config.ShortCut = FolderName::Parse(shortCut);
    config.brokenShortCut = !shortCut.empty() && !config.ShortCut;
    config.FileCount = ini.ReadInteger("Files", "Count", 0);
    if (config.FileCount > SetupConfig::kMaxFileCount) return config;

    config.Files.reserve(config.FileCount > 0 ? static_cast<size_t>(config.FileCount) : 0);
    for (int32_t n = 1; n <= config.FileCount; ++n) {
        config.Files.push_back(ini.ReadString("Files", Format("File%d", n), ""));
    }
    return config;
}

}  // namespace setup
