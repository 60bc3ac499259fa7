#include "setup/InstallRecord.h"

#include <windows.h>

#include <new>

#include "util/Names.h"

namespace setup::record {

namespace {
constexpr char kValue[] = "Dir";
}  // namespace

std::string KeyPath(const FolderName& installDir) { return "Software\\" + installDir.Text(); }

RegistryText Read(const FolderName& installDir)
{
    CRegistry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKeyReadOnly(KeyPath(installDir))) return {};
    return registry.ReadString(kValue);
}

Written Write(const FolderName& installDir, const std::string& folder)
{
    CRegistry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(KeyPath(installDir), true)) return {};
    if (!registry.WriteString(kValue, folder + "\\"))
        return {true, {{}, Failed(Failure::CannotWrite, kValue)}};
    return {true, registry.ReadString(kValue)};
}

bool Delete(const FolderName& installDir) noexcept
{
    try {
        const std::string key = KeyPath(installDir);
        CRegistry registry(HKEY_CURRENT_USER);
        if (!registry.OpenKey(key, false) || !registry.DeleteValue(kValue)) return false;
        registry.CloseKey();
        (void)registry.DeleteKeyIfEmpty(key);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace setup::record
