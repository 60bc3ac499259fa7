#include "forms/CopyForm.h"

#include <exception>

#include "forms/CopyLayout.h"
#include "forms/Messages.h"
#include "toolkit/Application.h"
#include "toolkit/Error.h"

TCopyForm* CopyForm = nullptr;

namespace {

// Posted to itself when shown. From the application's range: the WM_USER range belongs to the
// window classes, and the dialog code sends WM_USER itself (DM_GETDEFID).
constexpr UINT kStartCopy = WM_APP;

}  // namespace

TCopyForm::TCopyForm()
{
    Build(forms::kCopyLayout);
    MediaPlayer.SetDisplay(Panel.Handle());
}

LRESULT TCopyForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != kStartCopy) return Form::HandleMessage(message, wParam, lParam);
    // One run per showing, and only inside its modal loop: a start message that arrives after the
    // window was closed, or a second one, starts nothing.
    const bool start = startPending_ && IsModal() && !copying_;
    startPending_ = false;
    if (start) {
        copying_ = true;
        struct Done {
            bool& copying;
            ~Done() { copying = false; }
        } done{copying_};
        CopyFiles();
    }
    return 0;
}

void TCopyForm::FormShow()
{
    if (!Work) return SetModalResult(toolkit::kModalCancel);
    Result = {};
    PbTotal.SetRange(0, bars_.Start(Work->totalKB, ::GetTickCount()));
    PbTotal.SetPosition(0);
    PbCopy.SetPosition(0);
    if (Work->movie.empty() && !Work->wallPaper.empty()) {
        // A picture that cannot be shown is reported; the copy starts all the same.
        try {
            Image.LoadFromFile(Work->wallPaper);
            Image.SetVisible(true);
        } catch (const std::exception& error) {
            toolkit::ReportUncaught(error);
        }
    }
    startPending_ = true;
    ::PostMessageW(Handle(), kStartCopy, 0, 0);
}

void TCopyForm::CopyFiles()
{
    // However the copy ends (an exception or the program's end included), the movie stops and a
    // modal result is set, so that the modal window always comes back.
    struct Ending {
        TCopyForm& form;
        int result = toolkit::kModalCancel;
        ~Ending()
        {
            if (!form.Work->movie.empty()) form.EndMovie();
            form.SetModalResult(result);
        }
    } ending{*this};
    CancelRequested = false;
    Result = setup::Copy(Work->job, *this);
    ShowBars(true);
    if (Result.outcome.Ok()) {
        ending.result = toolkit::kModalOk;
        return;
    }
    forms::ShowCopyFailure(Handle(), Result.outcome);
}

void TCopyForm::ItemStarts(const setup::CopyItem& item)
{
    if (item.index == 1 && !Work->movie.empty()) StartMovie();
    LbCopy.SetCaption(item.fileNamePart + "をコピーしています");
}

void TCopyForm::FileSized(unsigned long long size)
{
    bars_.FileSized(size);
}

bool TCopyForm::GoOn()
{
    toolkit::Application& app = toolkit::Application::Instance();
    app.ProcessMessages();
    if (app.Terminated()) return false;
    if (CancelRequested) {
        ShowBars(true);
        if (forms::AskStopCopy(Handle()) || app.Terminated())
            return false;
        CancelRequested = false;
    }
    return true;
}

void TCopyForm::Progress(unsigned long long fileDone, unsigned long long copiedKB)
{
    bars_.Progress(fileDone, copiedKB);
    ShowBars(false);
}

void TCopyForm::ShowBars(bool now)
{
    const setup::BarPace::Draw draw = bars_.Due(::GetTickCount(), now);
    if (draw.fileRange) PbCopy.SetRange(0, *draw.fileRange);
    if (draw.filePosition) PbCopy.SetPosition(*draw.filePosition);
    if (draw.totalPosition) PbTotal.SetPosition(*draw.totalPosition);
}

void TCopyForm::BtCancelClick() { CancelRequested = true; }

void TCopyForm::StartMovie()
{
    try {
        MediaPlayer.SetFileName(Work->movie);
        MediaPlayer.Open();
        MediaPlayer.SetDisplayRect(0, 0, Panel.Width(), Panel.Height());
        MediaPlayer.Play();
    } catch (const std::exception& error) {
        // Reported once; the copy goes on without the movie.
        EndMovie();
        toolkit::ReportUncaught(error);
    }
}

void TCopyForm::MediaPlayerNotify()
{
    // An empty file name means the movie has ended: a notification still on its way does nothing.
    if (!Work || Work->movie.empty() || MediaPlayer.FileName().empty()) return;
    MediaPlayer.SetNotify(true);
    MediaPlayer.Play();
}

void TCopyForm::EndMovie() noexcept
{
    MediaPlayer.SetNotify(false);
    try {
        if (MediaPlayer.DeviceOpen()) MediaPlayer.Stop();
    } catch (const std::exception&) {
        // Closing below ends it all the same.
    }
    try {
        MediaPlayer.Close();
    } catch (const std::exception&) {
        // The device is given up either way.
    }
    MediaPlayer.SetFileName(std::string());
}
