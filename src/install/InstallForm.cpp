#include "install/InstallForm.h"

#include "forms/InstallLayout.h"

TInstallForm* InstallForm = nullptr;

TInstallForm::TInstallForm() { Build(*this, forms::kInstallLayout); }

void TInstallForm::EdInstallChange() {}
void TInstallForm::BtInstallClick() {}
void TInstallForm::BtBrowseClick() {}
void TInstallForm::BtCancelClick() { SetModalResult(toolkit::kModalCancel); }
void TInstallForm::CbWithSoundClick() {}
void TInstallForm::CbMovieClick() {}
