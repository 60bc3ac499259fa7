#include "install/CopyForm.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <memory>
#include <new>

#include "app/MainForm.h"
#include "forms/CopyLayout.h"
#include "install/InstallForm.h"
#include "install/InstallPlan.h"
#include "toolkit/Application.h"
#include "toolkit/Error.h"
#include "util/File.h"
#include "util/Person.h"

TCopyForm* CopyForm = nullptr;

namespace {

constexpr DWORD kBlockBytes = 1024 * 1024;
// A bar whose count does not fit its 32-bit range counts in units of 2^20 instead, and so still
// ends full.
constexpr unsigned kCoarseShift = 20;

unsigned BarShift(unsigned long long count) noexcept { return count > INT_MAX ? kCoarseShift : 0; }

// A bar draws itself at once when its position changes, which can cost more than copying a block:
// while copying, the bars are moved at most this often, and always before the copy stops to ask or
// to end, so that they show the exact counts whenever anyone can look.
constexpr DWORD kBarIntervalMs = 40;

}  // namespace

// The working state of one run. However the run ends (success, cancel, an error, an exception, the
// program ending), the buffer goes, the movie ends, both files close and a modal result is set, so
// the modal window always comes back.
class TCopyForm::Run {
public:
    explicit Run(TCopyForm& form) noexcept : form_(form) {}
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    ~Run() { Finish(toolkit::kModalCancel); }

    void Finish(int result) noexcept
    {
        if (finished_) return;
        finished_ = true;
        buffer.reset();
        if (movie) form_.EndMovie();
        destination.Close();
        source.Close();
        form_.SetModalResult(result);
    }
    // The error ending: the message with the file's path as its title.
    void Fail(const char* text, const std::string& path)
    {
        ShowMessageBox(form_.Handle(), text, path, MB_OK | MB_ICONERROR);
        Finish(toolkit::kModalCancel);
    }

    std::unique_ptr<char[]> buffer;
    CFile source;
    CFile destination;
    bool movie = false;

private:
    TCopyForm& form_;
    bool finished_ = false;
};

TCopyForm::TCopyForm()
{
    Build(forms::kCopyLayout);
    MediaPlayer.SetDisplay(Panel.Handle());
}

LRESULT TCopyForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_USER) return Form::HandleMessage(message, wParam, lParam);
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
    CreatedFiles.clear();
    const unsigned long long total = InstallForm->CalcSize();
    totalShift_ = BarShift(total);
    PbTotal.SetRange(0, static_cast<int>(total >> totalShift_));
    PbTotal.SetPosition(0);
    PbCopy.SetPosition(0);
    if (!InstallForm->CbMovie.Checked() && !MainForm->WallPaper.empty()) {
        // A picture that cannot be shown is reported; the copy starts all the same.
        try {
            Image.LoadFromFile(MainForm->WallPaper);
            Image.SetVisible(true);
        } catch (const std::exception& error) {
            toolkit::ReportUncaught(error);
        }
    }
    startPending_ = true;
    ::PostMessageW(Handle(), WM_USER, 0, 0);
}

void TCopyForm::CopyFiles()
{
    toolkit::Application& app = toolkit::Application::Instance();
    Run run(*this);
    run.buffer.reset(new (std::nothrow) char[kBlockBytes]);
    if (!run.buffer) {
        ShowMessageBox(Handle(), "メモリが足りません", "Setup.exe", MB_OK | MB_ICONERROR);
        return run.Finish(toolkit::kModalCancel);
    }
    CancelRequested = false;
    run.movie = InstallForm->CbMovie.Checked();
    const std::string folder = InstallForm->EdInstall.Text() + "\\";
    const install::Plan plan = InstallForm->CurrentPlan();
    unsigned long long copiedKB = 0;
    unsigned long long done = 0;
    unsigned fileShift = 0;
    DWORD lastShown = ::GetTickCount();
    const auto showProgress = [&](bool now) {
        if (!now && ::GetTickCount() - lastShown < kBarIntervalMs) return;
        PbCopy.SetPosition(static_cast<int>(done >> fileShift));
        PbTotal.SetPosition(static_cast<int>(copiedKB >> totalShift_));
        lastShown = ::GetTickCount();
    };

    for (const install::CopyItem& item : plan.items) {
        if (item.index == 1 && run.movie) StartMovie();
        LbCopy.SetCaption(item.fileNamePart + "をコピーしています");
        if (!item.copied) continue;
        const std::string& source = item.copySource;
        const std::string destination = folder + item.storedName;

        // Paths too long for the system are refused by the opens, never cut.
        if (!run.source.Open(source, GENERIC_READ)) return run.Fail("ファイルが開けません", source);
        const std::optional<unsigned long long> size = run.source.Size64();
        if (!size) return run.Fail("読み取りエラー", source);
        fileShift = BarShift(*size);
        done = 0;
        PbCopy.SetRange(0, static_cast<int>(*size >> fileShift));
        PbCopy.SetPosition(0);
        if (!run.destination.Open(destination, GENERIC_WRITE)) return run.Fail("ファイルが作成できません", destination);
        CreatedFiles.push_back(destination);

        while (done < *size) {
            app.ProcessMessages();
            if (app.Terminated()) return run.Finish(toolkit::kModalCancel);
            if (CancelRequested) {
                showProgress(true);
                if (ShowMessageBox(Handle(), "本当に中止してもよろしいですか？", "Setp.exe",
                                   MB_YESNO | MB_ICONERROR | MB_DEFBUTTON2) == IDYES || app.Terminated())
                    return run.Finish(toolkit::kModalCancel);
                CancelRequested = false;
            }
            const DWORD n = static_cast<DWORD>(std::min<unsigned long long>(*size - done, kBlockBytes));
            // A short count is an error even when the system reported success (a full disk).
            if (run.source.Read(run.buffer.get(), n) != n) {
                showProgress(true);
                return run.Fail("読み取りエラー", source);
            }
            if (run.destination.Write(run.buffer.get(), n) != n) {
                showProgress(true);
                return run.Fail("書き込みエラー", destination);
            }
            done += n;
            copiedKB += n / 1024;
            showProgress(done == *size);
        }

        int date = 0;
        int time = 0;
        (void)run.source.GetTime(date, time);
        (void)run.destination.SetTime(date, time);
        run.source.Close();
        run.destination.Close();
    }
    run.Finish(toolkit::kModalOk);
}

void TCopyForm::BtCancelClick() { CancelRequested = true; }

void TCopyForm::StartMovie()
{
    try {
        MediaPlayer.SetFileName(InstallForm->EdInstall.Text() + "\\" + MainForm->Movie);
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
    if (!InstallForm->CbMovie.Checked() || MediaPlayer.FileName().empty()) return;
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
