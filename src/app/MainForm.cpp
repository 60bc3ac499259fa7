#include "app/MainForm.h"

#include <windows.h>
#include <shellapi.h>

#include "app/MainLayout.h"
#include "forms/CopyForm.h"
#include "forms/InstallForm.h"
#include "forms/Messages.h"
#include "forms/UninstForm.h"
#include "setup/InstallPlan.h"
#include "setup/InstallRecord.h"
#include "setup/SetupConfig.h"
#include "setup/SetupNames.h"
#include "setup/StartMenu.h"
#include "toolkit/Application.h"
#include "toolkit/Error.h"
#include "toolkit/Person.h"
#include "util/Cp932.h"
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

void TMainForm::UseDialogs(TInstallForm& install, TUninstForm& uninstall, TCopyForm& copy) noexcept
{
    installForm_ = &install;
    uninstForm_ = &uninstall;
    copyForm_ = &copy;
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
    if (!recorded.status.Ok()) throw toolkit::Error(forms::RecordFailureText(recorded.status));
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

setup::Game TMainForm::Game() const
{
    return {*InstallDir, GameName, ShortCut, ShortCut_GDI, Movie, WallPaper, Entries()};
}

void TMainForm::BtInstallClick()
{
    if (!InstallDir) return;  // the window is closing: the configuration was unusable
    TInstallForm& dialog = *installForm_;
    dialog.InstallDir = InstallDir;
    dialog.Movie = Movie;
    dialog.Entries = Entries();
    dialog.EdInstall.SetText(DefaultDestination(*InstallDir));
    const std::optional<std::string> installed = setup::Install(Game(), ProgramPath(), *this);
    if (!installed) return;
    // A record that could not be made leaves the menu as it was.
    if (!installed->empty()) InstalledDir = *installed;
    FormShow();
}

bool TMainForm::ChooseDestination(setup::Destination& chosen)
{
    TInstallForm& dialog = *installForm_;
    if (dialog.ShowModal() != toolkit::kModalOk) return false;
    chosen = {dialog.EdInstall.Text(), dialog.CurrentPlan(), dialog.CountedKB, dialog.CbMovie.Checked()};
    return true;
}

bool TMainForm::ConfirmOverwrite(const std::string&) { return forms::AskOverwrite(Handle()); }

setup::CopyResult TMainForm::RunCopy(const setup::CopyTask& task)
{
    TCopyForm& copy = *copyForm_;
    // The task lives only for this call: the window never keeps it past the showing.
    struct Lend {
        TCopyForm& copy;
        ~Lend() { copy.Work = nullptr; }
    } lend{copy};
    copy.Work = &task;
    const int shown = copy.ShowModal();
    if (shown != toolkit::kModalOk && copy.Result.outcome.Ok()) copy.Result.outcome.failure = Failure::Stopped;
    return std::move(copy.Result);
}

void TMainForm::Tell(setup::Notice notice, const Result& detail) { forms::ShowNotice(Handle(), notice, detail); }

std::optional<setup::Choices> TMainForm::ChooseWhatToRemove()
{
    TUninstForm& dialog = *uninstForm_;
    if (dialog.ShowModal() != toolkit::kModalOk) return std::nullopt;
    return setup::Choices{dialog.CbStart.Checked(), dialog.CbGame.Checked(), dialog.CbSave.Checked()};
}

void TMainForm::BtUninstallClick()
{
    if (!InstallDir) return;
    if (setup::Uninstall(Game(), InstalledDir, *this)) Close();
}

void TMainForm::BtDelStartClick()
{
    setup::startmenu::Remove(ShortCut);
    Tell(setup::Notice::StartMenuRemoved, {});
    Close();
}
