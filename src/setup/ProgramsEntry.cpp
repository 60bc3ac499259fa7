#include "setup/ProgramsEntry.h"

#include <windows.h>
#include <shlobj.h>

#include <new>

#include "setup/Guard.h"
#include "setup/SetupNames.h"
#include "util/Cp932.h"
#include "util/Names.h"
#include "util/Registry.h"
#include "util/Shell.h"

namespace setup::entry {

namespace {

std::string ListName(const FolderName& installDir)
{
    std::string name = installDir.Text();
    for (size_t i = 0; i < name.size(); i = NextChar(name, i))
        if (name[i] == '\\') name[i] = '_';
    return name;
}

}  // namespace

bool CopyProgram(const std::string& program, const std::string& folder)
{
    const auto copy = [](const std::string& from, const std::string& to) {
        const auto wideFrom = cp932::ToWide(from);
        const auto wideTo = cp932::ToWide(to);
        return FitsSystemPath(to) && wideFrom && wideTo && ::CopyFileW(wideFrom->c_str(), wideTo->c_str(), FALSE);
    };
    (void)CreateFolderPath(folder);
    return copy(program, folder + "\\" + kProgram) && copy(IniPathFor(program), folder + "\\" + kIni);
}

void RemoveProgramCopy(const std::string& folder) noexcept
{
    DeleteFileAt(folder + "\\" + kProgram);
    DeleteFileAt(folder + "\\" + kIni);
    RemoveFolderAndEmptyParents(folder);
}

std::string EntryKey(const FolderName& installDir)
{
    return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + ListName(installDir);
}

std::optional<std::string> Folder(const FolderName& installDir)
{
    std::string local;
    if (!GetSpecialFolderPath(nullptr, local, CSIDL_LOCAL_APPDATA, true))
        return std::nullopt;
    std::string folder = local + "\\" + ListName(installDir) + kFolderSuffix;
    if (!FitsSystemPath(folder + "\\" + kProgram)) return std::nullopt;
    return folder;
}

Result Register(const FolderName& installDir, const std::string& program, const Entry& entry)
{
    const auto folder = Folder(installDir);
    if (!folder || !CopyProgram(program, *folder)) return Failed(Failure::CannotWrite, folder.value_or(""));
    const std::string key = EntryKey(installDir);
    CRegistry registry(HKEY_CURRENT_USER);
    (void)registry.DeleteKey(key);  // nothing of an earlier installation stays
    const std::string uninstaller = *folder + "\\" + kProgram;
    const DWORD sizeKB = entry.sizeKB > MAXDWORD ? MAXDWORD : static_cast<DWORD>(entry.sizeKB);
    if (registry.OpenKey(key, true) &&
        registry.WriteString("DisplayName", entry.displayName.empty() ? installDir.Text() : entry.displayName) &&
        registry.WriteString("UninstallString", "\"" + uninstaller + "\"") &&
        registry.WriteString("DisplayIcon", uninstaller + ",0") &&
        registry.WriteString("InstallLocation", entry.installLocation) && registry.WriteDword("EstimatedSize", sizeKB) &&
        registry.WriteDword("NoModify", 1) && registry.WriteDword("NoRepair", 1))
        return {};
    return Failed(Failure::CannotWrite, key);
}

void Unregister(const FolderName& installDir) noexcept
{
    try {
        (void)CRegistry(HKEY_CURRENT_USER).DeleteKey(EntryKey(installDir));
        if (const auto folder = Folder(installDir)) RemoveProgramCopy(*folder);
    } catch (const std::bad_alloc&) {  // what is left stays
    }
}

}  // namespace setup::entry
