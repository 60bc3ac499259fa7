#include "setup/StartMenu.h"

#include <shlobj.h>

#include <new>

#include "setup/Guard.h"
#include "setup/SetupNames.h"
#include "util/Names.h"
#include "util/Shell.h"

namespace setup::startmenu {

std::optional<std::string> Folder(const std::string& programs, const FolderName& shortCut)
{
    std::string folder = programs + "\\" + shortCut.Text();
    if (!FitsSystemPath(folder)) return std::nullopt;
    return folder;
}

std::vector<std::string> MakeShortcuts(const std::optional<FolderName>& shortCut,
                                       const std::vector<Shortcut>& shortcuts, const std::string& workingFolder)
{
    if (!shortCut) return {};
    std::string programs;
    if (!GetSpecialFolderPath(nullptr, programs, CSIDL_PROGRAMS, false)) return {std::string()};
    const auto folder = Folder(programs, *shortCut);
    if (folder) (void)CreateFolderPath(*folder);
    std::vector<std::string> failures;
    for (const Shortcut& shortcut : shortcuts) {
        // A name with levels (星/海の物語, ..\Desktop\x) still names one file in the folder; a path
        // too long for the system is refused, never cut.
        const auto file = ShortcutFileName(shortcut.name);
        const std::string link = folder.value_or("") + "\\" + file.value_or("") + ".lnk";
        if (!folder || !file || !shortcut.target || !FitsSystemPath(link) || !FitsSystemPath(*shortcut.target) ||
            !CreateShortcut(link, *shortcut.target, nullptr, &workingFolder, 0))
            failures.push_back(link);
    }
    return failures;
}

void Remove(const std::optional<FolderName>& shortCut) noexcept
{
    if (!shortCut) return;
    for (const int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        try {
            std::string programs;
            if (!GetSpecialFolderPath(nullptr, programs, csidl, false)) continue;
            const auto target = Folder(programs, *shortCut);
            if (!target) continue;
            DeleteFolderFiles(*target);
            RemoveFolderAndEmptyParents(*target);
        } catch (const std::bad_alloc&) {  // this folder stays
        }
    }
}

}  // namespace setup::startmenu
