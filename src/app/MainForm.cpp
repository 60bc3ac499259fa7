#include "app/MainForm.h"

#include <windows.h>
#include <shellapi.h>

#include "app/SetupConfig.h"
#include "forms/MainLayout.h"
#include "install/InstallPlan.h"
#include "install/Installation.h"
#include "toolkit/Application.h"
#include "uninstall/Uninstall.h"
#include "util/Person.h"
#include "toolkit/Registry.h"
#include "util/Cp932.h"
#include "util/Handles.h"
#include "util/Names.h"
#include "util/ProgramPath.h"

TMainForm* MainForm = nullptr;

namespace {

constexpr char kTitle[] = "Setup.exe";

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
    if (InstallDir.empty()) {
        ShowMessageBox(Handle(), "Iniファイルが読めません", kTitle, MB_OK | MB_ICONERROR);
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
    const SetupConfig config = LoadSetupConfig(IniPathFor(ProgramPath()));
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
    if (!config.Usable()) InstallDir.clear();
}

void TMainForm::ReadInstallRecord()
{
    toolkit::Registry registry(HKEY_CURRENT_USER);
    if (registry.OpenKeyReadOnly("Software\\" + InstallDir)) InstalledDir = registry.ReadString("Dir");
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
    const int index = install::GameIndex(!Movie.empty());
    const std::string file = InstalledDir + FileNamePart(FileList->Item(index));
    const std::string folder = GameWorkingFolder(InstalledDir);
    // Shown normally: a game that takes its first show command from its starter would stay hidden.
    if (!StartProgram(nullptr, file, &folder, SW_SHOWNORMAL))
        ShowMessageBox(Handle(), "起動エラー", kTitle, MB_OK | MB_ICONERROR);
    Close();
}

void TMainForm::BtDxsetupClick()
{
    const std::string file = ProgramFolder() + "DirectX9.0b\\dxsetup.exe";
    if (!StartProgram(Handle(), file, nullptr, SW_SHOWDEFAULT))
        ShowMessageBox(Handle(), "dxsetup.exe 起動エラー", kTitle, MB_OK | MB_ICONERROR);
    Close();
}

void TMainForm::BtExitClick() { Close(); }

void TMainForm::BtInstallClick() { install::RunInstallation(*this); }

void TMainForm::BtUninstallClick() { uninstall::UninstallClick(*this); }

void TMainForm::BtDelStartClick() { uninstall::DelStartClick(*this); }
