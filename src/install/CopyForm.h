#pragma once
// The copy progress window: copies the file list in 1 MiB blocks while the demo plays.

#include <string>
#include <vector>

#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/MediaPlayer.h"
#include "toolkit/Picture.h"

class TCopyForm : public toolkit::Form {
public:
    TCopyForm();

    toolkit::Label LbCopy;
    toolkit::ProgressBar PbCopy;
    toolkit::Label LbTotal;
    toolkit::ProgressBar PbTotal;
    toolkit::Panel Panel;
    toolkit::Picture Image;
    toolkit::MediaPlayer MediaPlayer;
    toolkit::Button BtCancel;

    bool CancelRequested = false;
    // The destination paths that the last run created or emptied, in order: what a rollback may
    // delete. A file that was in the destination and never reached is not listed.
    std::vector<std::string> CreatedFiles;

    void FormShow() override;
    // The whole copy; ends by setting the modal result, 1 when every selected file was copied.
    void CopyFiles();
    void BtCancelClick();
    void MediaPlayerNotify();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    class Run;

    void StartMovie();
    void EndMovie() noexcept;

    bool startPending_ = false;
    bool copying_ = false;
    unsigned totalShift_ = 0;
};

extern TCopyForm* CopyForm;
