#include "setup/SetupNames.h"
#include "setup/StartMenu.h"

#include <shlobj.h>

#include <new>

#include "setup/Guard.h"
#include "util/Names.h"
#include "util/Shell.h"

namespace setup::startmenu {

std::optional<std::string> Folder(const std::string& programs, const FolderName& shortCut)
{
    std::string folder = programs + "\\" + shortCut.Text();
    if (!FitsSystemPath(folder)) return std::nullopt;
    return folder;
}

int MakeShortcuts(HWND owner, const std::optional<FolderName>& shortCut, const std::vector<Shortcut>& shortcuts,
                  const std::string& workingFolder)
{
    if (!shortCut) return 0;
    std::string programs;
    if (!GetSpecialFolderPath(owner, programs, CSIDL_PROGRAMS, false)) return 1;
    const auto folder = Folder(programs, *shortCut);
    if (!folder) return static_cast<int>(shortcuts.size());  // no link in it would fit either
    (void)CreateFolderPath(*folder);
    int failures = 0;
    for (const Shortcut& shortcut : shortcuts) {
        // A name with levels (星/海の物語, ..\Desktop\x) still names one file in the folder.
        const auto file = ShortcutFileName(shortcut.name);
        const std::string link = *folder + "\\" + file.value_or("") + ".lnk";
        const bool made = file && shortcut.target && FitsSystemPath(link) && FitsSystemPath(*shortcut.target) &&
                          CreateShortcut(link, *shortcut.target, nullptr, &workingFolder, 0);
        if (!made) ++failures;
    }
    return failures;
}

void Remove(HWND owner, const std::optional<FolderName>& shortCut) noexcept
{
    if (!shortCut) return;
    for (const int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        try {
            std::string programs;
            if (!GetSpecialFolderPath(owner, programs, csidl, false)) continue;
            const auto target = Folder(programs, *shortCut);
            if (!target) continue;
            DeleteFolderFiles(*target);
            RemoveFolderAndEmptyParents(*target);
        } catch (const std::bad_alloc&) {  // this folder stays
        }
    }
}

}  // namespace setup::startmenu
