#include "toolkit/MediaPlayer.h"

#include <digitalv.h>

#include <iterator>

#include "toolkit/Error.h"
#include "util/Cp932.h"
#include "util/File.h"

namespace toolkit {
namespace {

// The multimedia system's own text for `code`, in code page 932.
std::string MciErrorText(MCIERROR code)
{
    wchar_t text[MAXERRORLENGTH] = {};
    if (winmm::GetErrorString(code, text, static_cast<UINT>(std::size(text)))) {
        text[std::size(text) - 1] = L'\0';
        std::string bytes = cp932::FromWideLossy(text);
        if (!bytes.empty()) return bytes;
    }
    return Format("マルチメディアのエラーです (%d)", static_cast<long long>(code));
}

void Check(MCIERROR code)
{
    if (code != 0) throw Error(MciErrorText(code));
}

}  // namespace

void MediaPlayer::RegisterWindowClass(HINSTANCE instance)
{
    RegisterClassOnce(instance, WindowClassName(), 0, nullptr, "メディアプレーヤーのウィンドウクラスを登録できません");
}

DWORD MediaPlayer::TakeNotify(bool byDefault) noexcept
{
    const bool notify = notify_.value_or(byDefault);
    notify_.reset();
    return notify ? MCI_NOTIFY : 0;
}

void MediaPlayer::RequireDevice() const
{
    if (!device_) throw Error("メディアプレーヤーのデバイスが開いていません");
}

void MediaPlayer::Open()
{
    const DWORD notify = TakeNotify(false);
    device_.Reset();
    // The system opens the file itself: a device (NUL.avi) is refused as a missing file before.
    const auto element = cp932::ToWide(fileName_);
    if (!element || !IsDiskFile(fileName_)) throw Error(MciErrorText(MCIERR_FILE_NOT_FOUND));

    // No device type is named: the system picks the device from the file's type.
    MCI_OPEN_PARMSW open{};
    open.dwCallback = reinterpret_cast<DWORD_PTR>(Handle());
    open.lpstrElementName = element->c_str();
    Check(winmm::SendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT | notify, reinterpret_cast<DWORD_PTR>(&open)));
    MciDevice device(open.wDeviceID);

    if (display_) {
        MCI_DGV_WINDOW_PARMSW window{};
        window.hWnd = display_;
        const MCIERROR result = winmm::SendCommand(device.Get(), MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT,
                                                  reinterpret_cast<DWORD_PTR>(&window));
        // A device without pictures (sound only) has no window to attach, and plays all the same.
        if (result != MCIERR_UNSUPPORTED_FUNCTION && result != MCIERR_UNRECOGNIZED_COMMAND) Check(result);
    }
    device_ = std::move(device);
}

void MediaPlayer::SetDisplayRect(int left, int top, int width, int height)
{
    RequireDevice();
    // The rectangle of MCI_PUT holds the width and height where RECT has right and bottom.
    MCI_DGV_RECT_PARMS put{};
    put.rc = RECT{left, top, width, height};
    Check(winmm::SendCommand(device_.Get(), MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT | MCI_WAIT,
                            reinterpret_cast<DWORD_PTR>(&put)));
}

void MediaPlayer::Play()
{
    const DWORD notify = TakeNotify(true);
    RequireDevice();

    MCI_STATUS_PARMS position{};
    position.dwItem = MCI_STATUS_POSITION;
    Check(winmm::SendCommand(device_.Get(), MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                            reinterpret_cast<DWORD_PTR>(&position)));
    MCI_STATUS_PARMS length{};
    length.dwItem = MCI_STATUS_LENGTH;
    Check(winmm::SendCommand(device_.Get(), MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                            reinterpret_cast<DWORD_PTR>(&length)));
    // Some devices count the end as the last frame's position, one short of the length.
    if (position.dwReturn + 1 >= length.dwReturn) {
        MCI_SEEK_PARMS seek{};
        Check(winmm::SendCommand(device_.Get(), MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT,
                                reinterpret_cast<DWORD_PTR>(&seek)));
    }

    MCI_PLAY_PARMS play{};
    play.dwCallback = reinterpret_cast<DWORD_PTR>(Handle());
    Check(winmm::SendCommand(device_.Get(), MCI_PLAY, notify, reinterpret_cast<DWORD_PTR>(&play)));
}

void MediaPlayer::Stop()
{
    const DWORD notify = TakeNotify(false);
    RequireDevice();
    MCI_GENERIC_PARMS stop{};
    stop.dwCallback = reinterpret_cast<DWORD_PTR>(Handle());
    const MCIERROR result =
        winmm::SendCommand(device_.Get(), MCI_STOP, MCI_WAIT | notify, reinterpret_cast<DWORD_PTR>(&stop));
    // A video without sound may be stopped and still answer with the error of its missing sound
    // output (Wine does): what counts is that it has stopped.
    if (result != 0 && Mode() != MCI_MODE_STOP) Check(result);
}

DWORD_PTR MediaPlayer::Mode() const noexcept
{
    MCI_STATUS_PARMS mode{};
    mode.dwItem = MCI_STATUS_MODE;
    if (winmm::SendCommand(device_.Get(), MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&mode)))
        return 0;
    return mode.dwReturn;
}

void MediaPlayer::Close()
{
    const DWORD notify = TakeNotify(false);
    if (!device_) return;
    // The id is given up whatever the answer: a device that refuses to close is no use either.
    const MCIDEVICEID id = device_.Release();
    MCI_GENERIC_PARMS close{};
    close.dwCallback = reinterpret_cast<DWORD_PTR>(Handle());
    Check(winmm::SendCommand(id, MCI_CLOSE, MCI_WAIT | notify, reinterpret_cast<DWORD_PTR>(&close)));
}

LRESULT MediaPlayer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != MM_MCINOTIFY) return ::DefWindowProcW(Handle(), message, wParam, lParam);
    // Every outcome is passed on, also one about a device closed since: the form decides.
    lastNotifyValue_ = static_cast<int>(wParam);
    const HWND self = Handle();
    const HWND parent = ::GetAncestor(self, GA_PARENT);
    if (parent && parent != ::GetDesktopWindow()) {
        const int id = ::GetDlgCtrlID(self);
        ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), kNotifyCode),
                       reinterpret_cast<LPARAM>(self));
    }
    return 0;
}

}  // namespace toolkit
