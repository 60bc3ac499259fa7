#include "setup/Uninstall.h"

#include <new>

#include "setup/Guard.h"
#include "setup/InstallRecord.h"
#include "setup/ProgramsEntry.h"
#include "setup/StartMenu.h"
#include "util/Format.h"
#include "util/Names.h"

namespace setup {

std::string SaveFileName(int number)
{
    std::string digits = Format("%d", number);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return "Save" + digits + ".dat";
}

std::vector<std::string> SaveFileNames()
{
    std::vector<std::string> names;
    for (int n = 0; n < 100; ++n) names.push_back(SaveFileName(n));
    for (const int n : {700, 800, 900}) names.push_back(SaveFileName(n));
    names.push_back("SaveXXX.dat");
    return names;
}

Removal RemoveInstalledCopy(const InstalledCopy& copy, Choices choices) noexcept
{
    if (choices.startMenu) startmenu::Remove(copy.shortCut);
    bool remains = false;
    const auto remove = [&remains](const std::string& path) {
        DeleteFileAt(path);
        if (PathExists(path, true)) remains = true;  // a folder of that name was never to go
    };
    try {
        // Nothing is deleted outside the game's own folder: a Dir that is not a folder named after
        // InstallDir, a drive root, a known folder or not a full path keeps even the listed names.
        // Files are named inside the folder, so a Dir written without its final backslash still
        // names nothing beside it.
        const std::string folder = WithoutFinalSeparator(copy.installedDir);
        if (IsGameFolder(folder, copy.installDir)) {
            if (choices.game)
                for (const std::string& name : copy.fileNames)
                    if (!name.empty()) remove(folder + "\\" + name);
            if (choices.saves)
                for (const std::string& name : SaveFileNames()) remove(folder + "\\" + name);
            const bool everything = choices.startMenu && choices.game && choices.saves;
            if (everything) DeleteFolderFiles(folder);
            RemoveFolderAndEmptyParents(folder);
            // A subfolder (the game's own, never entered) keeps the folder without any failure.
            if (everything && PathExists(folder) && (FolderHoldsFiles(folder) || !FolderHasEntries(folder)))
                remains = true;
        }
    } catch (const std::bad_alloc&) {  // what was not looked at counts as left
        remains = true;
    }
    if (remains) return Removal::FilesRemain;
    setup::record::Delete(copy.installDir);
    setup::entry::Unregister(copy.installDir);
    return Removal::Complete;
}

}  // namespace setup
