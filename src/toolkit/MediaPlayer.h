#pragma once
// The media player control: plays a movie through the multimedia command interface into a display
// window, and tells its form when a command that asked for it has ended. Its own window is hidden;
// it only receives the system's notifications.

#include <windows.h>
#include <mmsystem.h>

#include <optional>
#include <string>

#include "toolkit/Controls.h"
#include "util/Handles.h"

namespace toolkit {

class MediaPlayer : public CustomControl {
public:
    // The notification code of the WM_COMMAND the player sends its parent when a notification
    // arrives: wParam = MAKEWPARAM(control id, kNotifyCode), lParam = the player's window.
    static constexpr WORD kNotifyCode = 0x7F01;

    // Registers the window class in `instance` unless it is there already.
    static void RegisterWindowClass(HINSTANCE instance);
    [[nodiscard]] static const wchar_t* WindowClassName() noexcept { return L"SetupMediaPlayer"; }

    void SetFileName(const std::string& fileName) { fileName_ = fileName; }
    [[nodiscard]] const std::string& FileName() const noexcept { return fileName_; }
    // The window the video is drawn in; taken by the next Open.
    void SetDisplay(HWND display) noexcept { display_ = display; }
    [[nodiscard]] HWND Display() const noexcept { return display_; }

    // Opens FileName with the device its type selects, after closing any device still open, and
    // attaches the video to the display window. Throws Error with the system's text on failure.
    void Open();
    // Places the video inside the display window.
    void SetDisplayRect(int left, int top, int width, int height);
    // Plays from the current position, from the start when at the end; returns at once.
    void Play();
    // Stops playing and waits for it. Throws Error when no device is open.
    void Stop();
    // Closes the device, if one is open.
    void Close();

    // Whether the next command asks for a notification; that command only, then each command's
    // default returns (Play asks by default; Open, Stop and Close do not).
    void SetNotify(bool notify) noexcept { notify_ = notify; }
    [[nodiscard]] bool DeviceOpen() const noexcept { return device_.Valid(); }
    [[nodiscard]] MCIDEVICEID DeviceId() const noexcept { return device_.Get(); }
    // The outcome of the latest notification (MCI_NOTIFY_SUCCESSFUL, _SUPERSEDED, _ABORTED,
    // _FAILURE); 0 before the first.
    [[nodiscard]] int LastNotifyValue() const noexcept { return lastNotifyValue_; }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The MCI_NOTIFY flag for the command being sent, consuming a SetNotify.
    [[nodiscard]] DWORD TakeNotify(bool byDefault) noexcept;
    void RequireDevice() const;
    // The device's MCI_MODE_*, 0 when it does not say.
    [[nodiscard]] DWORD_PTR Mode() const noexcept;

    std::string fileName_;
    HWND display_ = nullptr;
    std::optional<bool> notify_;
    int lastNotifyValue_ = 0;
    MciDevice device_;
};

}  // namespace toolkit
