#include "uninstall/Uninstall.h"

#include <shlobj.h>

#include <new>

#include "app/MainForm.h"
#include "install/InstallPlan.h"
#include "toolkit/Error.h"
#include "toolkit/Form.h"
#include "toolkit/Registry.h"
#include "uninstall/UninstForm.h"
#include "util/Folders.h"
#include "util/Names.h"
#include "util/Person.h"
#include "util/ProgramPath.h"
#include "util/Shell.h"

namespace uninstall {

namespace {

constexpr char kTitle[] = "Setup.exe";

std::vector<std::string> ListedFileNames(const TMainForm& main)
{
    std::vector<std::string> names;
    const install::Plan plan = install::MakePlan(main.Entries(), ProgramFolder(), !main.Movie.empty(), {});
    for (const install::CopyItem& item : plan.items)
        names.push_back(item.fileNamePart);
    return names;
}

}  // namespace

std::string SaveFileName(int number)
{
    std::string digits = toolkit::Format("%d", number);
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

void RemoveStartMenuFolders(HWND owner, const std::string& shortCut) noexcept
{
    if (shortCut.empty()) return;
    for (const int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        try {
            std::string programs;
            if (!GetSpecialFolderPath(owner, programs, csidl, false)) continue;
            const std::string target = programs + "\\" + shortCut;
            if (!FitsSystemPath(target)) continue;
            DeleteFolderFiles(target);
            RemoveFolderAndEmptyParents(target);
        } catch (const std::bad_alloc&) {  // this folder stays
        }
    }
}

void RemoveInstalledCopy(HWND owner, const InstalledCopy& copy, Choices choices) noexcept
{
    if (choices.startMenu) RemoveStartMenuFolders(owner, copy.shortCut);
    try {
        // Nothing is deleted outside the game's own folder: a Dir that is not a folder named after
        // InstallDir, a drive root, a known folder or not a full path keeps even the listed names.
        // Files are named inside the folder, so a Dir written without its final backslash still
        // names nothing beside it.
        const std::string folder = WithoutTrailingBackslash(copy.installedDir);
        if (IsGameFolder(folder, copy.installDir)) {
            if (choices.game)
                for (const std::string& name : copy.fileNames)
                    if (!name.empty()) DeleteFileAt(folder + "\\" + name);
            if (choices.saves)
                for (const std::string& name : SaveFileNames()) DeleteFileAt(folder + "\\" + name);
            if (choices.startMenu && choices.game && choices.saves) DeleteFolderFiles(folder);
            RemoveFolderAndEmptyParents(folder);
        }
    } catch (const std::bad_alloc&) {  // the files stay, the record still goes
    }
    try {
        // The setup file's rule for InstallDir: a name that could reach above or beside the game's
        // key (a lone backslash is Software itself; the registry reads A\ as A) deletes nothing.
        if (IsInstallDirName(copy.installDir)) (void)toolkit::Registry().DeleteKey("Software\\" + copy.installDir);
    } catch (const std::bad_alloc&) {
    }
}

void UninstallClick(TMainForm& main)
{
    if (UninstForm->ShowModal() != toolkit::kModalOk) return;
    const InstalledCopy copy{main.InstalledDir, main.InstallDir, main.ShortCut, ListedFileNames(main)};
    RemoveInstalledCopy(main.Handle(), copy,
                        {UninstForm->CbStart.Checked(), UninstForm->CbGame.Checked(), UninstForm->CbSave.Checked()});
    ShowMessageBox(main.Handle(), "アンインストールしました", kTitle, MB_OK | MB_ICONINFORMATION);
    main.Close();
}

void DelStartClick(TMainForm& main)
{
    RemoveStartMenuFolders(main.Handle(), main.ShortCut);
    ShowMessageBox(main.Handle(), "削除しました", kTitle, MB_OK | MB_ICONINFORMATION);
    main.Close();
}

}  // namespace uninstall
