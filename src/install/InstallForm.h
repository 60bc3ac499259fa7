#pragma once
// The install destination dialog: folder, free and required space, sound and demo options.

#include "toolkit/Controls.h"
#include "toolkit/Form.h"

class TInstallForm : public toolkit::Form {
public:
    TInstallForm();

    toolkit::Label LbInstall;
    toolkit::Label LbFree;
    toolkit::Label LbSize;
    toolkit::Edit EdInstall;
    toolkit::Button BtInstall;
    toolkit::Button BtBrowse;
    toolkit::Button BtCancel;
    toolkit::CheckBox CbWithSound;
    toolkit::CheckBox CbMovie;
    toolkit::RadioButton RbVorbis;
    toolkit::RadioButton RbPcm;

    void EdInstallChange();
    void BtInstallClick();
    void BtBrowseClick();
    void BtCancelClick();
    void CbWithSoundClick();
    void CbMovieClick();
};

extern TInstallForm* InstallForm;
