#pragma once
// The uninstall options dialog.

#include "toolkit/Controls.h"
#include "toolkit/Form.h"

class TUninstForm : public toolkit::Form {
public:
    TUninstForm();

    toolkit::CheckBox CbStart;
    toolkit::CheckBox CbGame;
    toolkit::CheckBox CbSave;
    toolkit::Label LbCaution;
    toolkit::Label LbCaution2;
    toolkit::Button BtUninst;
    toolkit::Button BtCancel;

    void BtUninstClick();
    void BtCancelClick();
};

extern TUninstForm* UninstForm;
