#include "install/Installation.h"

#include <windows.h>
#include <shlobj.h>

#include "app/MainForm.h"
#include "install/CopyForm.h"
#include "install/InstallForm.h"
#include "install/InstallPlan.h"
#include "toolkit/Registry.h"
#include "util/Folders.h"
#include "util/Names.h"
#include "util/Person.h"
#include "util/Shell.h"

namespace install {
namespace {

constexpr char kTitle[] = "Setup.exe";
constexpr char kShortcutFailed[] = "ショートカットの作成に失敗しました";

std::optional<std::string> TargetOf(const Plan& plan, const std::optional<int>& index, const std::string& folder)
{
    if (!index) return std::nullopt;
    return folder + "\\" + plan.items[static_cast<size_t>(*index)].fileNamePart;
}

void MakeShortcuts(TMainForm& main, const std::string& destination)
{
    if (main.ShortCut.empty()) return;
    std::string programs;
    if (!GetSpecialFolderPath(main.Handle(), programs, CSIDL_PROGRAMS, false)) {
        ShowMessageBox(main.Handle(), kShortcutFailed, kTitle, MB_OK | MB_ICONERROR);
        return;
    }
    const std::string folder = programs + "\\" + main.ShortCut;
    (void)CreateFolderPath(folder);

    // `target` is nothing when the file list does not hold the entry.
    const auto make = [&](const std::string& name, const std::optional<std::string>& target) {
        const std::string link = folder + "\\" + name + ".lnk";
        const bool made = target && FitsSystemPath(link) && FitsSystemPath(*target) &&
                          CreateShortcut(link, *target, nullptr, &destination, 0);
        if (!made) ShowMessageBox(main.Handle(), kShortcutFailed, kTitle, MB_OK | MB_ICONERROR);
    };
    const Plan plan = InstallForm->CurrentPlan();
    make(main.GameName, TargetOf(plan, plan.gameIndex, destination));
    if (!main.ShortCut_GDI.empty()) make(main.ShortCut_GDI, TargetOf(plan, plan.gdiIndex, destination));
    make("お読み下さい", destination + "\\お読み下さい.txt");
    make("アンインストールについて", destination + "\\アンインストールについて.txt");
}

void WriteInstallRecord(TMainForm& main, const std::string& destination)
{
    toolkit::Registry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey("Software\\" + main.InstallDir, true)) return;
    registry.WriteString("Dir", destination + "\\");
    main.InstalledDir = registry.ReadString("Dir");
}

}  // namespace

void RollBack(const std::string& destination, const std::vector<std::string>& createdFiles) noexcept
{
    for (const std::string& file : createdFiles) DeleteFileAt(file);
    RemoveFolderAndEmptyParents(destination);
}

void RunInstallation(TMainForm& main)
{
    InstallForm->EdInstall.SetText(::DefaultDestination(main.InstallDir));
    if (InstallForm->ShowModal() != toolkit::kModalOk) return;
    const std::string destination = InstallForm->EdInstall.Text();

    if (!CreateFolderPath(destination) &&
        ShowMessageBox(main.Handle(), "すでにフォルダが存在します\n上書きしますか？", kTitle,
                       MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;

    if (CopyForm->ShowModal() != toolkit::kModalOk) {
        ShowMessageBox(main.Handle(), "中止しました", kTitle, MB_OK | MB_ICONERROR);
        RollBack(destination, CopyForm->CreatedFiles);
        return;
    }

    MakeShortcuts(main, destination);
    WriteInstallRecord(main, destination);
    ShowMessageBox(main.Handle(), "インストールしました", kTitle, MB_OK | MB_ICONINFORMATION);
    main.FormShow();
}

}  // namespace install
