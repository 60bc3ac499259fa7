#include "app/MainForm.h"

#include <windows.h>
#include <shellapi.h>

#include "app/MainLayout.h"
#include "forms/CopyForm.h"
#include "forms/InstallForm.h"
#include "forms/UninstForm.h"
#include "setup/Guard.h"
#include "setup/InstallPlan.h"
#include "setup/InstallRecord.h"
#include "setup/Installation.h"
#include "setup/SetupConfig.h"
#include "setup/SetupNames.h"
#include "setup/StartMenu.h"
#include "setup/Uninstall.h"
#include "toolkit/Application.h"
#include "toolkit/Error.h"
#include "toolkit/Person.h"
#include "util/Cp932.h"
#include "util/Folders.h"
#include "util/Handles.h"
#include "util/Names.h"
#include "util/ProgramPath.h"

TMainForm* MainForm = nullptr;

namespace {

// ShellExecute's own result: above 32 means started.
bool StartProgram(HWND owner, const std::string& file, const std::string* folder, int show)
{
    if (!FitsSystemPath(file) || (folder && !FitsSystemPath(*folder))) return false;
    const auto wideFile = cp932::ToWide(file);
    const auto wideFolder = folder ? cp932::ToWide(*folder) : std::optional<std::wstring>(std::wstring());
    if (!wideFile || !wideFolder) return false;
    const HINSTANCE result = ::ShellExecuteW(owner, nullptr, wideFile->c_str(), L"",
                                             folder ? wideFolder->c_str() : nullptr, show);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// An entry named `image` in the working folder means the program runs from the disc. A folder
// counts whatever its attributes; a hidden or system file does not.
bool WorkingFolderHoldsImage()
{
    WIN32_FIND_DATAW found{};
    FindHandle search(::FindFirstFileW(L"image", &found));
    if (!search) return false;
    do {
        const DWORD attributes = found.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
        if (!(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) return true;
    } while (::FindNextFileW(search.Get(), &found));
    return false;
}

}  // namespace

TMainForm::TMainForm()
{
    Build(forms::kMainLayout);
    FileList = std::make_unique<toolkit::TextList>();
    FileCount = 0;
    SetCaption("インストーラ");
    toolkit::Application::Instance().SetTitle(Caption());
    BtDxsetup.SetVisible(true);
}

void TMainForm::FormCreate()
{
    ReadSetupConfiguration();
    if (!InstallDir) {
        ShowMessageBox(Handle(), "Iniファイルが読めません", kMessageTitle, MB_OK | MB_ICONERROR);
        ::PostMessageW(Handle(), WM_CLOSE, 0, 0);
        return;
    }
    BtExec.SetCaption("【" + GameName + "】の実行");
    BtInstall.SetCaption("【" + GameName + "】のインストール");
    BtUninstall.SetCaption("【" + GameName + "】のアンインストール");
    ReadInstallRecord();
    DecideMode();
}

void TMainForm::ReadSetupConfiguration()
{
    const setup::SetupConfig config = setup::LoadSetupConfig(setup::IniPathFor(ProgramPath()));
    GameName = config.GameName;
    InstallDir = config.InstallDir;
    ShortCut = config.ShortCut;
    ShortCut_GDI = config.ShortCut_GDI;
    Movie = config.Movie;
    WallPaper = config.WallPaper;
    FileCount = config.FileCount;
    FileList->Clear();
    for (const std::string& entry : config.Files) FileList->Append(entry);
    // A configuration the program cannot go on with reads as one without an install folder.
    if (!config.Usable()) InstallDir.reset();
}

void TMainForm::ReadInstallRecord()
{
    RegistryText recorded = setup::record::Read(*InstallDir);
    if (!recorded.error.empty()) throw toolkit::Error(recorded.error);
    InstalledDir = std::move(recorded.text);
}

void TMainForm::DecideMode()
{
    if (WorkingFolderHoldsImage()) {
        BtInstall.SetVisible(true);
        BtDelStart.SetVisible(false);
    } else {
        BtExec.SetVisible(false);
        BtInstall.SetVisible(false);
        BtDxsetup.SetVisible(false);
        BtDelStart.SetVisible(true);
    }
}

void TMainForm::FormShow()
{
    if (!InstalledDir.empty()) {
        BtExec.SetEnabled(true);
        BtInstall.SetEnabled(false);
        BtUninstall.SetEnabled(true);
        if (BtDelStart.Visible())
            BtDelStart.SetVisible(false);
        else
            BtExec.SetFocus();
    } else {
        BtExec.SetEnabled(false);
        BtInstall.SetEnabled(true);
        BtUninstall.SetEnabled(false);
    }
}

void TMainForm::FormDestroy() { FileList.reset(); }

std::vector<std::string> TMainForm::Entries() const
{
    std::vector<std::string> entries;
    for (int i = 0; i < FileCount; ++i) entries.push_back(FileList->Item(i));
    return entries;
}

void TMainForm::BtExecClick()
{
    const std::string name = setup::StoredName(FileList->Item(setup::GameIndex(!Movie.empty())));
    const std::string folder = WithoutFinalSeparator(InstalledDir);
    // Shown normally: a game that takes its first show command from its starter would stay hidden.
    if (name.empty() || !StartProgram(nullptr, InstalledDir + name, &folder, SW_SHOWNORMAL))
        ShowMessageBox(Handle(), "起動エラー", kMessageTitle, MB_OK | MB_ICONERROR);
    Close();
}

void TMainForm::BtDxsetupClick()
{
    const std::string file = ProgramFolder() + "DirectX9.0b\\dxsetup.exe";
    if (!StartProgram(Handle(), file, nullptr, SW_SHOWDEFAULT))
        ShowMessageBox(Handle(), "dxsetup.exe 起動エラー", kMessageTitle, MB_OK | MB_ICONERROR);
    Close();
}

void TMainForm::BtExitClick() { Close(); }

// The destination dialog, the folder, the copy window, then the rollback or the finishing steps.
void TMainForm::BtInstallClick()
{
    if (!InstallDir) return;  // the window is closing: the configuration was unusable
    TInstallForm& dialog = *InstallForm;
    dialog.InstallDir = InstallDir;
    dialog.Movie = Movie;
    dialog.Entries = Entries();
    dialog.EdInstall.SetText(DefaultDestination(*InstallDir));
    std::string destination;
    FolderLevels levels;
    for (;;) {
        if (dialog.ShowModal() != toolkit::kModalOk) return;
        destination = dialog.EdInstall.Text();
        if (CreateFolderPath(destination, levels)) break;
        if (levels.folder) {
            if (ShowMessageBox(Handle(), "すでにフォルダが存在します\n上書きしますか？", kMessageTitle,
                               MB_YESNO | MB_ICONQUESTION) == IDYES)
                break;
            setup::RemoveLevelsMade(levels);
            return;
        }
        // Refused like a destination the dialog refuses: the player chooses another.
        ShowMessageBox(Handle(), "フォルダが作成できません", destination, MB_OK | MB_ICONERROR);
        setup::RemoveLevelsMade(levels);
    }

    TCopyForm& copy = *CopyForm;
    copy.Work = {{destination, dialog.CurrentPlan()},
                 dialog.CountedKB,
                 dialog.CbMovie.Checked() ? destination + "\\" + Movie : std::string(),
                 WallPaper};
    if (copy.ShowModal() != toolkit::kModalOk) {
        ShowMessageBox(Handle(), "中止しました", kMessageTitle, MB_OK | MB_ICONERROR);
        setup::RollBack(copy.Result, levels);
        return;
    }

    const setup::Finished finished =
        setup::Finish(Handle(), {destination, *InstallDir, GameName, ShortCut, ShortCut_GDI, copy.Work.job.plan,
                                   ProgramPath(), copy.Work.totalKB}, copy.Result);
    for (int i = 0; i < finished.shortcutFailures; ++i)
        ShowMessageBox(Handle(), "ショートカットの作成に失敗しました", kMessageTitle, MB_OK | MB_ICONERROR);
    if (finished.record.opened) {
        if (!finished.record.readBack.error.empty()) throw toolkit::Error(finished.record.readBack.error);
        InstalledDir = finished.record.readBack.text;
    }
    ShowMessageBox(Handle(), "インストールしました", kMessageTitle, MB_OK | MB_ICONINFORMATION);
    FormShow();
}

void TMainForm::BtUninstallClick()
{
    if (!InstallDir) return;
    TUninstForm& dialog = *UninstForm;
    if (dialog.ShowModal() != toolkit::kModalOk) return;
    std::vector<std::string> names;
    for (const setup::CopyItem& item : setup::MakePlan(Entries(), ProgramFolder(), !Movie.empty(), {}).items)
        names.push_back(item.storedName);
    const setup::Removal removal =
        setup::RemoveInstalledCopy(Handle(), {InstalledDir, *InstallDir, ShortCut, std::move(names)},
                                       {dialog.CbStart.Checked(), dialog.CbGame.Checked(), dialog.CbSave.Checked()});
    if (removal == setup::Removal::Complete)
        ShowMessageBox(Handle(), "アンインストールしました", kMessageTitle, MB_OK | MB_ICONINFORMATION);
    else  // the record stays: run again once the game has ended, the uninstall finishes
        ShowMessageBox(Handle(), "一部のファイルを削除できませんでした", kMessageTitle, MB_OK | MB_ICONWARNING);
    Close();
}

void TMainForm::BtDelStartClick()
{
    setup::startmenu::Remove(Handle(), ShortCut);
    ShowMessageBox(Handle(), "削除しました", kMessageTitle, MB_OK | MB_ICONINFORMATION);
    Close();
}
