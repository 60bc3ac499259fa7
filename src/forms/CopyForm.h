#pragma once
// The copy progress window: shows the copy engine's work on the job it is given, with two bars and
// the demo movie or a picture, and asks before it stops on the player's cancel.

#include <string>

#include "setup/BarPace.h"
#include "setup/CopyEngine.h"
#include "setup/Install.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/MediaPlayer.h"
#include "toolkit/Picture.h"

class TCopyForm : public toolkit::Form, private setup::CopyObserver {
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

    // What the next showing copies: set before it and cleared after it by whoever owns the task.
    const setup::CopyTask* Work = nullptr;
    // How the last showing's copy ended, with what it created.
    setup::CopyResult Result;
    bool CancelRequested = false;

    void FormShow() override;
    // The whole copy; ends by setting the modal result, 1 when every selected file was copied.
    void CopyFiles();
    void BtCancelClick();
    void MediaPlayerNotify();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ItemStarts(const setup::CopyItem& item) override;
    void FileSized(unsigned long long size) override;
    bool GoOn() override;
    void Progress(unsigned long long fileDone, unsigned long long copiedKB) override;

    void ShowBars(bool now);
    void StartMovie();
    void EndMovie() noexcept;

    bool startPending_ = false;
    bool copying_ = false;
    setup::BarPace bars_;
};

extern TCopyForm* CopyForm;
