#include "forms/InstallForm.h"

#include <climits>
#include <string_view>
#include <vector>

#include "forms/InstallLayout.h"
#include "setup/Guard.h"
#include "toolkit/Application.h"
#include "toolkit/Error.h"
#include "toolkit/FolderBrowser.h"
#include "toolkit/Person.h"
#include "util/File.h"
#include "util/FolderPaths.h"
#include "util/Folders.h"
#include "util/Names.h"
#include "util/ProgramPath.h"

TInstallForm* InstallForm = nullptr;

TInstallForm::TInstallForm() { Build(forms::kInstallLayout); }

namespace {

constexpr char kUnusableFolder[] = "このフォルダはインストール先に指定できません";

// The Windows drive's Program Files folder, compared as the first folder level of `destination`.
bool InWindowsProgramFiles(const std::string& destination)
{
    const std::string windows = WindowsFolder();
    std::string level = destination;
    const std::vector<size_t> separators = folders::SeparatorOffsets(level);
    if (separators.size() >= 2) level.resize(separators[1]);
    if (windows.empty() || level.size() < 3 || level[0] != windows[0] || !IsPathSeparator(level[2])) return false;
    return LowerAscii(std::string_view(level).substr(3)) == "program files";
}

// Opens `path` for reading and adds its size in KB; false when it cannot be opened.
bool AddSizeKB(const std::string& path, unsigned long long& total)
{
    CFile file;
    if (!file.Open(path, GENERIC_READ)) return false;
    total += file.Size64().value_or(0) / 1024;
    return true;
}

// The program ends once the dialog has returned.
void CloseMainWindow()
{
    if (toolkit::Form* main = toolkit::Application::Instance().MainForm()) main->Close();
}

}  // namespace

setup::Plan TInstallForm::CurrentPlan() const
{
    return setup::MakePlan(Entries, ProgramFolder(), !Movie.empty(), {CbWithSound.Checked(), RbPcm.Checked()});
}

unsigned long long TInstallForm::CalcSize()
{
    CountedKB = 0;
    unsigned long long total = 0;
    for (const setup::CopyItem& item : CurrentPlan().items) {
        if (item.soundEntry) {
            // A missing sound entry means a broken disc: the program ends.
            if (!IsDiskFile(item.listedSource)) {
                ShowMessageBox(Handle(), "ファイルが開けません", item.listedSource, MB_OK | MB_ICONERROR);
                CloseMainWindow();
                return 0;
            }
            if (item.countedSource.empty()) continue;
        }
        if (!AddSizeKB(item.countedSource, total)) {
            ShowMessageBox(Handle(), "ファイルが開けません", item.countedSource, MB_OK | MB_ICONERROR);
            return 0;
        }
    }
    CountedKB = total;
    return total;
}

std::string DefaultDestination(const setup::FolderName& installDir)
{
    return WindowsFolder().substr(0, 3) + installDir.Text();
}

int TInstallForm::GetFreeSpaceMB(const std::string& destination)
{
    const unsigned megabytes = CFile::FreeMegabytes(destination.substr(0, 2));
    return megabytes > INT_MAX ? INT_MAX : static_cast<int>(megabytes);
}

void TInstallForm::RefreshFreeSpace()
{
    // A text that no code-page-932 path can spell names no drive.
    const auto destination = EdInstall.TextExact();
    const int megabytes = destination ? GetFreeSpaceMB(*destination) : 0;
    LbFree.SetCaption(toolkit::Format("空き容量：%d ＭＢ", megabytes));
}

void TInstallForm::ShowSize(unsigned long long kb)
{
    LbSize.SetCaptionFitted(toolkit::Format("インストール容量：%d ＭＢ", static_cast<long long>(kb / 1024)));
}

void TInstallForm::FormShow()
{
    RefreshFreeSpace();
    const unsigned long long kb = CalcSize();
    if (kb < 1024) {
        SetModalResult(toolkit::kModalCancel);
        return;
    }
    ShowSize(kb);
    const bool hasMovie = !Movie.empty();
    CbMovie.SetVisible(hasMovie);
    CbMovie.SetChecked(hasMovie);
}

void TInstallForm::EdInstallChange() { RefreshFreeSpace(); }

void TInstallForm::BtBrowseClick()
{
    std::string chosen;
    switch (ChooseFolder(Handle(), "インストール先を指定して下さい", EdInstall.TextExact().value_or(""), chosen)) {
    case FolderChoice::Cancelled:
        return;
    case FolderChoice::Unusable:
        ShowMessageBox(Handle(), kUnusableFolder, kMessageTitle, MB_OK | MB_ICONERROR);
        return;
    case FolderChoice::Chosen:
        break;
    }
    // A drive root such as D:\ keeps a single backslash before the game's folder.
    if (!InstallDir) return;
    EdInstall.SetText(chosen + (EndsWithSeparator(chosen) ? "" : "\\") + InstallDir->Text());
    RefreshFreeSpace();
}

void TInstallForm::BtInstallClick()
{
    const auto read = EdInstall.TextExact();
    if (!read) {
        ShowMessageBox(Handle(), "インストール先に使えない文字が含まれています", kMessageTitle, MB_OK | MB_ICONERROR);
        return;
    }
    const std::string& destination = *read;
    if (InWindowsProgramFiles(destination) &&
        ShowMessageBox(Handle(),
                       "もし Windows Vista であればこのフォルダでは正常に動作いたしません\n"
                       "インストールしてよろしいですか？",
                       kMessageTitle, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;

    const unsigned long long requiredMB = CalcSize() / 1024;
    const int freeMB = GetFreeSpaceMB(destination);
    if (requiredMB == 0) {
        SetModalResult(toolkit::kModalCancel);
        return;
    }
    if (static_cast<unsigned long long>(freeMB) <= requiredMB) {
        ShowMessageBox(Handle(), "空き容量が不足しています", kMessageTitle, MB_OK | MB_ICONERROR);
        return;
    }

    if (!InstallDir) return;
    if (!InstallDir->IsLastLevelOf(destination)) {
        ShowMessageBox(Handle(), "少なくともゲーム名のフォルダは作られます", kMessageTitle, MB_OK | MB_ICONINFORMATION);
        // An empty destination would be a folder on whatever drive is current: take the default.
        if (destination.empty())
            EdInstall.SetText(DefaultDestination(*InstallDir));
        else
            EdInstall.SetText(destination + (EndsWithSeparator(destination) ? "" : "\\") + InstallDir->LastLevel());
        return;
    }
    // Whatever is installed can be uninstalled: a drive root, a known folder or a folder above one
    // (an InstallDir named like a known folder under the chosen parent) is never the game's own.
    if (!setup::IsGameFolder(destination, *InstallDir)) {
        ShowMessageBox(Handle(), kUnusableFolder, kMessageTitle, MB_OK | MB_ICONERROR);
        return;
    }
    SetModalResult(toolkit::kModalOk);
}

void TInstallForm::BtCancelClick() { SetModalResult(toolkit::kModalCancel); }

void TInstallForm::CbWithSoundClick()
{
    const unsigned long long kb = CalcSize();
    if (kb < 1024) {
        SetModalResult(toolkit::kModalCancel);
        CloseMainWindow();
        return;
    }
    ShowSize(kb);
    const bool withSound = CbWithSound.Checked();
    if (!withSound)
        ShowMessageBox(Handle(), "ゲームの動作が非常に遅くなる可能性がありますので\nお勧めいたしません", kMessageTitle,
                       MB_OK | MB_ICONINFORMATION);
    RbVorbis.SetEnabled(withSound);
    RbPcm.SetEnabled(withSound);
}

// The choice is read by the copy when it starts.
void TInstallForm::CbMovieClick() {}
