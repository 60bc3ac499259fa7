#pragma once
// The install destination dialog: folder, free and required space, sound and demo options.

#include <optional>
#include <string>
#include <vector>

#include "setup/FolderName.h"
#include "setup/InstallPlan.h"
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

    // The game as the dialog needs it, set by the install button before each showing.
    std::optional<setup::FolderName> InstallDir;
    std::string Movie;
    std::vector<std::string> Entries;  // the first FileCount entries of the file list

    // The install size in KB (each counted file's bytes div 1024, summed); 0 after a reported failure.
    // The last count is kept in CountedKB: the one the install button passed is what the copy counts on.
    [[nodiscard]] unsigned long long CalcSize();
    unsigned long long CountedKB = 0;
    // The file list as the current options select it.
    [[nodiscard]] setup::Plan CurrentPlan() const;

    void FormShow() override;
    void EdInstallChange();
    void BtInstallClick();
    void BtBrowseClick();
    void BtCancelClick();
    void CbWithSoundClick();
    void CbMovieClick();

    // Free space in whole MB on the drive named by the destination's first two bytes; 0 when the
    // query fails (a network path, a missing drive).
    [[nodiscard]] static int GetFreeSpaceMB(const std::string& destination);

private:
    void RefreshFreeSpace();
    void ShowSize(unsigned long long kb);
};

// Where the game goes unless the player chooses otherwise: the Windows drive's root and `installDir`.
[[nodiscard]] std::string DefaultDestination(const setup::FolderName& installDir);

extern TInstallForm* InstallForm;
