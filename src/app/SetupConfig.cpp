#include "app/SetupConfig.h"

#include <utility>

#include "app/IniReader.h"
#include "util/Format.h"
#include "util/Names.h"

bool SetupConfig::Usable() const noexcept
{
    // An InstallDir that could name a folder other than the game's own (the drive root for "..",
    // a device, another drive) is as unusable as a missing one.
    return IsInstallDirName(InstallDir) && FileCount <= kMaxFileCount;
}

SetupConfig ParseSetupConfig(std::string_view iniBytes)
{
    const IniReader ini(iniBytes);
    SetupConfig config;
    static constexpr std::pair<std::string SetupConfig::*, const char*> kSetupKeys[] = {
        {&SetupConfig::GameName, "GameName"},         {&SetupConfig::InstallDir, "InstallDir"},
        {&SetupConfig::ShortCut, "ShortCut"},         {&SetupConfig::ShortCut_GDI, "ShortCut_GDI"},
        {&SetupConfig::Movie, "Movie"},               {&SetupConfig::WallPaper, "WallPaper"},
    };
    for (const auto& [member, key] : kSetupKeys) config.*member = ini.ReadString("Setup", key, "");
    config.FileCount = ini.ReadInteger("Files", "Count", 0);
    if (config.FileCount > SetupConfig::kMaxFileCount) return config;

    config.Files.reserve(config.FileCount > 0 ? static_cast<size_t>(config.FileCount) : 0);
    for (int32_t n = 1; n <= config.FileCount; ++n) {
        config.Files.push_back(ini.ReadString("Files", Format("File%d", n), ""));
    }
    return config;
}
