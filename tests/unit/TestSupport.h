#pragma once
// What many unit tests need around the code they check: a folder of their own, CP932 paths handed
// to the system as UTF-16, a window to parent controls, and a message loop that waits for a condition.

#include <windows.h>

#include "setup/FolderName.h"
#include "toolkit/Application.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testsupport {

// The UTF-16 form of a CP932 text. A text without one is the test's own mistake: reported, and empty.
std::wstring Wide(const std::string& text);

// A folder name that the test knows to pass the rule; one that does not is the test's own mistake.
setup::FolderName Folder(std::string_view text);

// Whether a file or folder is at that CP932 path.
bool Exists(const std::string& path);

// Creates or replaces the file at `path` holding exactly `bytes`; a failure fails the test.
void WriteFileAt(const std::string& path, std::string_view bytes = {});

// The names in a folder, "." and ".." left out, sorted; none for a missing folder.
std::vector<std::string> Listing(const std::string& folder);

// A Unix symlink at `link` leading to `target`, made from the Unix side: the tests run under Wine,
// whose CreateSymbolicLinkW reports success and makes nothing. False (reported) when none was made.
bool MakeLink(const std::string& link, const std::string& target);
// Removes the link itself: through Windows, Wine would remove or empty what it leads to. Links must
// go before their TempFolder does.
void RemoveLink(const std::string& link);

// A new folder of its own under the temporary folder, its name ending in `leaf` (CP932), removed with
// everything in it, read-only files included, when the owner goes; a tree that cannot be removed,
// such as one with a file still held open, is a failure of the test.
class TempFolder {
public:
    explicit TempFolder(const std::string& leaf);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // False when the folder could not be made; the cause has been reported.
    [[nodiscard]] bool Made() const { return !widePath_.empty(); }
    [[nodiscard]] const std::string& Path() const { return path_; }
    // As the system named it, not converted back from the CP932 path.
    [[nodiscard]] const std::wstring& WidePath() const { return widePath_; }
    // The path of `name` in the folder, which need not exist.
    [[nodiscard]] std::string PathOf(const std::string& name) const { return path_ + "\\" + name; }
    [[nodiscard]] std::wstring WidePathOf(const std::wstring& name) const { return widePath_ + L"\\" + name; }

    // A file `name` in the folder holding exactly `bytes` (replacing one there); its path.
    template <class Bytes>
    std::string Write(const std::string& name, const Bytes& bytes) const
    {
        return WriteBytes(name, bytes.data(), bytes.size());
    }

private:
    std::string WriteBytes(const std::string& name, const void* data, size_t size) const;

    std::wstring widePath_;
    std::string path_;
};

// A plain top-level window of its own class, to parent or own the controls under test. It notes the
// WM_COMMANDs its children send it, in order.
class TestWindow {
public:
    TestWindow(const wchar_t* title, DWORD style, int width, int height);
    ~TestWindow() { Destroy(); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    // Null when the window could not be made, or once it has been destroyed.
    [[nodiscard]] HWND Handle() const { return window_; }
    [[nodiscard]] const std::vector<std::pair<WPARAM, LPARAM>>& Commands() const { return commands_; }
    void Destroy();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    std::vector<std::pair<WPARAM, LPARAM>> commands_;
};

// The application object and the program's four windows, made as the program makes them; the
// windows' global references are cleared when the owner goes.
class ProgramWindows {
public:
    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    [[nodiscard]] toolkit::Application& App() { return app_; }

private:
    toolkit::Application app_;
};

// Runs the waiting messages until `done` holds or `timeoutMs` has passed; true when it held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

}  // namespace testsupport
