#pragma once
// Works a real Windows program from outside, as a person at the screen would: starts it, finds its
// windows and message boxes, reads and works their controls, waits for it to end. Every text is a
// code-page-932 byte string, like the texts of the program under test.
//
// Waiting always polls with short sleeps up to a timeout. A step that cannot be done (a window that
// does not appear in time, a button that is missing or disabled) saves a picture of the screen under
// build/e2e-failures and throws StepFailed, whose message names the picture; gtest reports it as the
// failure of the scenario, and the Process owners end what the scenario left running.
//
//     auto setup = e2e::Start(e2e::Disc("base") + "\\Setup.exe", e2e::Disc("base"));
//     auto menu = setup.WaitWindow("インストーラ");
//     EXPECT_TRUE(menu.Button("終了").Visible());
//     menu.Click("終了");
//     EXPECT_EQ(setup.WaitExit(), 0u);

#include <windows.h>

#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "util/Handles.h"

namespace e2e {

// Generous: the first start of a program in a new Wine prefix can take several seconds.
constexpr DWORD kTimeoutMs = 30000;

class StepFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// ---- Where things are -------------------------------------------------------------------------

// "/x/y" -> "Z:\x\y".
[[nodiscard]] std::string WindowsPath(const std::string& linuxPath);
// Empty when the variable is not set.
[[nodiscard]] std::string EnvironmentValue(const char* name);
// The Windows path of $SETUP_DISCS/<name>, a sample disc made by the test fixture.
[[nodiscard]] std::string Disc(const std::string& name);
// The names listed in $SETUP_DISCS/variants.txt; empty when there is no such list.
[[nodiscard]] std::vector<std::string> DiscVariants();
// build/: the parent of $SETUP_BUILD (the build folder of the test programs).
[[nodiscard]] std::string BuildFolder();
// The folder of the running program, without a trailing backslash.
[[nodiscard]] std::string ProgramFolder();
[[nodiscard]] bool PathExists(const std::string& path);
// Creates every missing level of `path`.
bool MakeFolders(const std::string& path);

// ---- Failures -----------------------------------------------------------------------------------

// Names the pictures of failed steps: <scenario>-<NN>-<step>.png, and removes the scenario's pictures
// of an earlier run. The test main calls it per test.
void BeginScenario(const std::string& name);
// Saves the screen as build/e2e-failures/<scenario>-<last step><suffix>.png; the path, or empty.
std::string SaveFailurePicture(const std::string& suffix = "");
// While one lives, failed steps save no picture: for checks that a step is refused.
class ExpectingFailures {
public:
    ExpectingFailures() noexcept;
    ~ExpectingFailures();
    ExpectingFailures(const ExpectingFailures&) = delete;
    ExpectingFailures& operator=(const ExpectingFailures&) = delete;

private:
    bool before_;
};
// Saves a picture of the screen, then throws StepFailed with `message` and the picture's path.
[[noreturn]] void Fail(const std::string& message);
// Polls `done` every few milliseconds; fails with `what` when the time is up.
void WaitUntil(const std::function<bool()>& done, const std::string& what, DWORD timeoutMs = kTimeoutMs);

// ---- Controls and windows -----------------------------------------------------------------------

struct Bounds {  // a control's place in its parent's client area
    int left, top, width, height;
    bool operator==(const Bounds& o) const noexcept
    {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
};
std::ostream& operator<<(std::ostream& out, const Bounds& b);

struct Range {
    int low, high;
    bool operator==(const Range& o) const noexcept { return low == o.low && high == o.high; }
};
std::ostream& operator<<(std::ostream& out, const Range& r);

// A child control, viewed (not owned). Reads are live.
class Control {
public:
    explicit Control(HWND hwnd) noexcept : hwnd_(hwnd) {}
    [[nodiscard]] HWND Handle() const noexcept { return hwnd_; }
    [[nodiscard]] std::string Class() const;
    [[nodiscard]] std::string Text() const;
    [[nodiscard]] int Id() const;
    [[nodiscard]] bool Visible() const;       // shown on the screen: itself and all its parents
    [[nodiscard]] bool StyleVisible() const;  // WS_VISIBLE of the control itself
    [[nodiscard]] bool Enabled() const;
    [[nodiscard]] bool Focused() const;       // has the keyboard focus of its thread
    [[nodiscard]] Bounds Place() const;
    [[nodiscard]] bool Checked() const;       // check box or radio button
    [[nodiscard]] Range ProgressRange() const;
    [[nodiscard]] int ProgressPosition() const;
    // One line: class, text, id, states, place.
    [[nodiscard]] std::string Describe() const;

    // A person's actions. Click waits briefly for the control to be visible and enabled (in a window
    // that takes input) and refuses otherwise; it posts BM_CLICK and does not wait for the handler.
    void Click() const;
    void SetChecked(bool checked) const;      // clicks when the state differs, waits for the change
    void SetText(const std::string& text) const;  // WM_SETTEXT
    void Type(const std::string& text) const;     // WM_CHAR for each character, after what is there

private:
    HWND hwnd_;
};

// A top-level window, viewed (not owned).
class Window {
public:
    explicit Window(HWND hwnd) noexcept : hwnd_(hwnd) {}
    [[nodiscard]] HWND Handle() const noexcept { return hwnd_; }
    [[nodiscard]] std::string Caption() const;
    [[nodiscard]] std::string Class() const;
    [[nodiscard]] DWORD ProcessId() const;
    [[nodiscard]] HWND Owner() const;
    [[nodiscard]] bool Visible() const;
    [[nodiscard]] bool Enabled() const;
    [[nodiscard]] SIZE ClientSize() const;

    // Every control in the window (children of children included), in creation order.
    [[nodiscard]] std::vector<Control> Controls() const;
    // One line per control, for messages and logs.
    [[nodiscard]] std::string Listing() const;
    // The button (check box, radio button) with this caption, hidden or not; waits for it, fails with
    // the listing.
    [[nodiscard]] Control Button(const std::string& caption, DWORD timeoutMs = kTimeoutMs) const;
    [[nodiscard]] bool HasButton(const std::string& caption) const;  // at once, without waiting
    // The index-th control of a class ("Edit", "Static", "msctls_progress32"), counting from 0.
    [[nodiscard]] Control Child(const std::string& cls, int index = 0, DWORD timeoutMs = kTimeoutMs) const;
    [[nodiscard]] Control ById(int id, DWORD timeoutMs = kTimeoutMs) const;

    void Click(const std::string& caption) const { Button(caption).Click(); }
    // Posts WM_CLOSE, as the close box of the title bar does.
    void Close() const;
    // Waits until the window is destroyed or hidden.
    void WaitGone(DWORD timeoutMs = kTimeoutMs) const;

protected:
    HWND hwnd_;
};

enum class Icon { None, Error, Warning, Information, Question, Unknown };
const char* IconName(Icon icon) noexcept;
std::ostream& operator<<(std::ostream& out, Icon icon);

// A message box (class #32770): text in the static 0xFFFF, icon in the static 1088, buttons by id.
class MsgBox : public Window {
public:
    explicit MsgBox(HWND hwnd) noexcept : Window(hwnd) {}
    [[nodiscard]] std::string Text() const;
    // Its icon handle when the system shares the standard icons with this process; otherwise (Wine)
    // the icon's pixels on the screen compared with each standard icon drawn here: keep it uncovered.
    [[nodiscard]] Icon GetIcon() const;
    // The buttons shown, left to right, and their ids (IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7, ...).
    [[nodiscard]] std::vector<Control> Buttons() const;
    [[nodiscard]] std::vector<int> ButtonIds() const;
    // Presses a button and waits for the box to go away.
    void Press(int id) const;
    void Press(const std::string& caption) const;
};

// Waits for a visible top-level window. An empty caption or class matches any; pid 0 any process.
[[nodiscard]] Window WaitWindow(const std::string& caption, const std::string& cls = "", DWORD pid = 0,
                                DWORD timeoutMs = kTimeoutMs);
// Waits for a visible message box with this title (empty: any) and at least one button.
[[nodiscard]] MsgBox WaitMessageBox(const std::string& title, DWORD pid = 0, DWORD timeoutMs = kTimeoutMs);
// The visible top-level windows that match now, without waiting.
[[nodiscard]] std::vector<Window> FindWindows(const std::string& caption, const std::string& cls = "", DWORD pid = 0);
// The visible top-level windows now, one line each, for messages and logs.
[[nodiscard]] std::string TopLevelListing();

// ---- Programs -----------------------------------------------------------------------------------

// A started program and everything it starts in turn (one job). Ending the owner ends what still runs.
class Process {
public:
    Process(KernelHandle process, KernelHandle job, DWORD id, std::string name) noexcept;
    Process(Process&&) noexcept = default;
    Process& operator=(Process&&) = delete;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    [[nodiscard]] DWORD Id() const noexcept { return id_; }
    [[nodiscard]] HANDLE Handle() const noexcept { return process_.Get(); }
    [[nodiscard]] bool Running() const;
    [[nodiscard]] Window WaitWindow(const std::string& caption, const std::string& cls = "",
                                    DWORD timeoutMs = kTimeoutMs) const;
    [[nodiscard]] MsgBox WaitMessageBox(const std::string& title = "", DWORD timeoutMs = kTimeoutMs) const;
    // The exit code; fails when the program is still running after the timeout.
    DWORD WaitExit(DWORD timeoutMs = kTimeoutMs) const;
    // Ends the program and what it started.
    void Kill() noexcept;

private:
    KernelHandle process_;
    KernelHandle job_;
    DWORD id_;
    std::string name_;
};

// Starts `exe` (a full path) with `folder` as its working folder.
[[nodiscard]] Process Start(const std::string& exe, const std::string& folder, const std::string& arguments = "");

// ---- Pictures -----------------------------------------------------------------------------------

struct Image {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgb;  // rows top to bottom, 3 bytes a pixel
};
// The screen, or a rectangle of it in screen coordinates.
[[nodiscard]] std::optional<Image> CaptureScreen();
[[nodiscard]] std::optional<Image> CaptureScreen(const RECT& area);
// A PNG file of `image`: stored deflate blocks, no compression.
[[nodiscard]] std::vector<unsigned char> EncodePng(const Image& image);
bool SavePng(const Image& image, const std::string& path);
// Waits until the screen stops changing (windows painted); false when it still changes at the end.
bool WaitScreenStill(DWORD timeoutMs = 2000);
// Captures the screen into a PNG file.
bool SaveScreenshot(const std::string& path);

// ---- Disc files and the registry ------------------------------------------------------------------

// One value of an ini file: section and key without regard to letter case, spaces trimmed, one pair
// of quotes removed. Nothing when the file, section or key is missing.
[[nodiscard]] std::optional<std::string> IniValue(const std::string& path, const std::string& section,
                                                  const std::string& key);

// The install record HKCU\Software\<installDir>, value Dir. While an object lives the record holds
// `dir`; afterwards what was there before is put back.
class InstallRecord {
public:
    InstallRecord(const std::string& installDir, const std::string& dir);
    InstallRecord(const InstallRecord&) = delete;
    InstallRecord& operator=(const InstallRecord&) = delete;
    ~InstallRecord();

    [[nodiscard]] static std::optional<std::string> Read(const std::string& installDir);
    // Deletes the record's key.
    static void Remove(const std::string& installDir);

private:
    std::string installDir_;
    bool keyExisted_ = false;
    bool valueExisted_ = false;
    DWORD previousType_ = REG_NONE;
    std::vector<BYTE> previousData_;
};

}  // namespace e2e

// ---- Shell ----------------------------------------------------------------------------------------

namespace e2e {

// A special folder (CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, ...) without a final backslash; empty when
// the system does not give it.
[[nodiscard]] std::string SpecialFolder(int csidl);

struct Shortcut {
    std::string target, workingFolder, arguments, description;
    int showCommand = -1;  // as stored in the file: Wine's IShellLink always reports 1
};
// What a .lnk file holds; nothing when it cannot be loaded.
[[nodiscard]] std::optional<Shortcut> ReadShortcut(const std::string& link);
// The names of the files directly in `folder`, sorted; empty when it cannot be listed.
[[nodiscard]] std::vector<std::string> FilesIn(const std::string& folder);
// Removes `folder` with everything in it, read-only files included; what cannot go stays.
void RemoveTree(const std::string& folder);

}  // namespace e2e
