#pragma once
// The install destination dialog: folder, free and required space, sound and demo options.

#include <string>

#include "install/InstallPlan.h"
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

    // The install size in KB (each counted file's bytes div 1024, summed); 0 after a reported failure.
    [[nodiscard]] unsigned long long CalcSize();
    // The file list as the current options select it.
    [[nodiscard]] install::Plan CurrentPlan() const;

    void FormShow() override;
    void EdInstallChange();
    void BtInstallClick();
    void BtBrowseClick();
    void BtCancelClick();
    void CbWithSoundClick();
    void CbMovieClick();
};

extern TInstallForm* InstallForm;
