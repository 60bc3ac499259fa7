#include "util/InstallRecord.h"

#include <windows.h>

#include <new>

#include "util/Format.h"
#include "util/Names.h"

namespace record {

namespace {
constexpr char kValue[] = "Dir";
}  // namespace

std::optional<std::string> KeyPath(const std::string& installDir)
{
    // A name that could reach above or beside the game's key (a lone backslash is Software itself;
    // the registry reads A\ as A) names none.
    if (!IsInstallDirName(installDir)) return std::nullopt;
    return "Software\\" + installDir;
}

RegistryText Read(const std::string& installDir)
{
    const auto key = KeyPath(installDir);
    CRegistry registry(HKEY_CURRENT_USER);
    if (!key || !registry.OpenKeyReadOnly(*key)) return {};
    return registry.ReadString(kValue);
}

Written Write(const std::string& installDir, const std::string& folder)
{
    const auto key = KeyPath(installDir);
    CRegistry registry(HKEY_CURRENT_USER);
    if (!key || !registry.OpenKey(*key, true)) return {};
    if (!registry.WriteString(kValue, folder + "\\"))
        return {true, {{}, Format("'%s' の書き込みに失敗しました", std::string(kValue))}};
    return {true, registry.ReadString(kValue)};
}

bool Delete(const std::string& installDir) noexcept
{
    try {
        const auto key = KeyPath(installDir);
        CRegistry registry(HKEY_CURRENT_USER);
        if (!key || !registry.OpenKey(*key, false) || !registry.DeleteValue(kValue)) return false;
        registry.CloseKey();
        (void)registry.DeleteKeyIfEmpty(*key);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace record
