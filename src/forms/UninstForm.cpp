#include "forms/UninstForm.h"

#include "forms/UninstLayout.h"

TUninstForm* UninstForm = nullptr;

TUninstForm::TUninstForm() { Build(forms::kUninstLayout); }

void TUninstForm::BtUninstClick() { SetModalResult(toolkit::kModalOk); }
void TUninstForm::BtCancelClick() { SetModalResult(toolkit::kModalCancel); }
