#include "install/InstallForm.h"

#include <vector>

#include "app/MainForm.h"
#include "forms/InstallLayout.h"
#include "util/File.h"
#include "util/Person.h"
#include "util/ProgramPath.h"

TInstallForm* InstallForm = nullptr;

TInstallForm::TInstallForm() { Build(*this, forms::kInstallLayout); }

namespace {

// Opens `path` for reading and adds its size in KB; false when it cannot be opened.
bool AddSizeKB(const std::string& path, unsigned long long& total)
{
    CFile file;
    if (!file.Open(path, GENERIC_READ)) return false;
    total += file.Size64().value_or(0) / 1024;
    return true;
}

bool CanOpen(const std::string& path)
{
    CFile file;
    return file.Open(path, GENERIC_READ);
}

}  // namespace

install::Plan TInstallForm::CurrentPlan() const
{
    std::vector<std::string> entries;
    for (int i = 0; i < MainForm->FileCount; ++i) entries.push_back(MainForm->FileList->Item(i));
    return install::MakePlan(entries, ProgramFolder(), !MainForm->Movie.empty(),
                             {CbWithSound.Checked(), RbPcm.Checked()});
}

unsigned long long TInstallForm::CalcSize()
{
    unsigned long long total = 0;
    for (const install::CopyItem& item : CurrentPlan().items) {
        if (item.soundEntry) {
            // A missing sound entry means a broken disc: the program ends.
            if (!CanOpen(item.listedSource)) {
                ShowMessageBox(Handle(), "ファイルが開けません", item.listedSource, MB_OK | MB_ICONERROR);
                MainForm->Close();
                return 0;
            }
            if (item.countedSource.empty()) continue;
        }
        if (!AddSizeKB(item.countedSource, total)) {
            ShowMessageBox(Handle(), "ファイルが開けません", item.countedSource, MB_OK | MB_ICONERROR);
            return 0;
        }
    }
    return total;
}

void TInstallForm::EdInstallChange() {}
// Stand-ins until the dialog's own checks come.
void TInstallForm::FormShow()
{
    CbMovie.SetVisible(!MainForm->Movie.empty());
    CbMovie.SetChecked(CbMovie.Visible());
}
void TInstallForm::BtInstallClick() { SetModalResult(toolkit::kModalOk); }
void TInstallForm::BtBrowseClick() {}
void TInstallForm::BtCancelClick() { SetModalResult(toolkit::kModalCancel); }
void TInstallForm::CbWithSoundClick() {}
void TInstallForm::CbMovieClick() {}
