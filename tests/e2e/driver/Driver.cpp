#include "Driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "util/Cp932.h"

namespace e2e {
namespace {

constexpr DWORD kPollMs = 20;
constexpr DWORD kAnswerMs = 3000;  // how long a control may take to answer a sent message
constexpr DWORD kSettleMs = 3000;  // how long a person waits for a control to become usable

std::wstring Wide(const std::string& text) { return cp932::ToWideLossy(text); }
std::string Narrow(const std::wstring& text) { return cp932::FromWideLossy(text); }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool SameAscii(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// Polls until `done` or the time is up; true when done.
bool Poll(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (done()) return true;
        if (::GetTickCount() - start >= timeoutMs) return done();
        ::Sleep(kPollMs);
    }
}

std::optional<LRESULT> Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs = kAnswerMs)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

std::string ClassOf(HWND hwnd)
{
    wchar_t name[256];
    const int length = ::GetClassNameW(hwnd, name, 256);
    return length > 0 ? Narrow(std::wstring(name, static_cast<size_t>(length))) : std::string();
}

// The window's own text as the system keeps it; never waits for the window's thread.
std::string StoredText(HWND hwnd)
{
    const int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return Narrow(text);
}

// A named CALLBACK function: on i686 a lambda does not convert to the system's calling convention.
BOOL CALLBACK AddWindow(HWND hwnd, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> Descendants(HWND parent)
{
    std::vector<HWND> found;
    ::EnumChildWindows(parent, AddWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> TopLevels()
{
    std::vector<HWND> found;
    ::EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

DWORD ProcessOf(HWND hwnd)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

bool IsCheckable(HWND hwnd)
{
    if (!SameAscii(ClassOf(hwnd), "Button")) return false;
    switch (::GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
    case BS_3STATE: case BS_AUTO3STATE:
        return true;
    default:
        return false;
    }
}

// Why a person could not click the control now; empty when they could.
std::string WhyNotClickable(HWND hwnd)
{
    if (!::IsWindow(hwnd)) return "it no longer exists";
    if (!::IsWindowVisible(hwnd)) return "it is hidden";
    if (!::IsWindowEnabled(hwnd)) return "it is disabled";
    if (!::IsWindowEnabled(::GetAncestor(hwnd, GA_ROOT))) return "its window is disabled (a modal window is open)";
    return {};
}

void ClickNow(HWND hwnd)
{
    std::string why;
    if (!Poll([&] { return (why = WhyNotClickable(hwnd)).empty(); }, kSettleMs))
        Fail("cannot click " + Control(hwnd).Describe() + ": " + why);
    if (!::PostMessageW(hwnd, BM_CLICK, 0, 0)) Fail("BM_CLICK could not be posted to " + Control(hwnd).Describe());
}

std::string Parent(std::string path)
{
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

struct ScenarioState {
    std::string name = "scenario";
    int step = 0;
    std::string label = "00-Begin";
    bool quiet = false;
};

ScenarioState& Scenario()
{
    static ScenarioState state;
    return state;
}

void NextStep(const char* verb)
{
    ScenarioState& s = Scenario();
    ++s.step;
    char number[16];
    std::snprintf(number, sizeof number, "%02d-", s.step);
    s.label = number + std::string(verb);
}

std::string FileNameSafe(const std::string& text)
{
    std::string safe;
    for (char c : text) {
        const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                          c == '-' || c == '_';
        safe += keep ? c : '_';
    }
    return safe;
}

}  // namespace

// ---- Where things are -------------------------------------------------------------------------

std::string WindowsPath(const std::string& linuxPath)
{
    std::string path = "Z:" + linuxPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string EnvironmentValue(const char* name)
{
    const std::wstring wideName = Wide(name);
    const DWORD needed = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), needed);
    if (length == 0 || length >= needed) return {};
    value.resize(length);
    return Narrow(value);
}

std::string Disc(const std::string& name)
{
    const std::string discs = EnvironmentValue("SETUP_DISCS");
    if (discs.empty()) throw StepFailed("SETUP_DISCS is not set: the sample discs are made by the ctest fixture");
    return WindowsPath(discs) + "\\" + name;
}

std::vector<std::string> DiscVariants()
{
    std::vector<std::string> names;
    const std::string discs = EnvironmentValue("SETUP_DISCS");
    if (discs.empty()) return names;
    FileHandle file(::CreateFileW(Wide(WindowsPath(discs) + "\\variants.txt").c_str(), GENERIC_READ,
                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return names;
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        // Each line: the name, then what the variant is for.
        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        names.push_back(line.substr(first, line.find_first_of(" \t\r", first) - first));
    }
    return names;
}

std::string ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return Parent(Narrow(path));
}

std::string BuildFolder()
{
    const std::string build = EnvironmentValue("SETUP_BUILD");
    if (!build.empty()) return WindowsPath(Parent(build));
    return Parent(ProgramFolder());
}

bool PathExists(const std::string& path)
{
    return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolders(const std::string& path)
{
    const std::wstring wide = Wide(path);
    for (size_t at = wide.find(L'\\', 3); ; at = wide.find(L'\\', at + 1)) {
        const std::wstring level = wide.substr(0, at);
        if (!level.empty() && !::CreateDirectoryW(level.c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS && ::GetFileAttributesW(level.c_str()) == INVALID_FILE_ATTRIBUTES)
            return false;
        if (at == std::wstring::npos) break;
    }
    return true;
}

// ---- Failures -----------------------------------------------------------------------------------

void BeginScenario(const std::string& name)
{
    Scenario() = ScenarioState{name.empty() ? "scenario" : name, 0, "00-Begin", false};
    const std::string folder = BuildFolder() + "\\e2e-failures\\";
    WIN32_FIND_DATAW found;
    FindHandle search(::FindFirstFileW(Wide(folder + FileNameSafe(Scenario().name) + "-*.png").c_str(), &found));
    if (!search) return;
    do {
        ::DeleteFileW((Wide(folder) + found.cFileName).c_str());
    } while (::FindNextFileW(search.Get(), &found));
}

ExpectingFailures::ExpectingFailures() noexcept : before_(Scenario().quiet) { Scenario().quiet = true; }
ExpectingFailures::~ExpectingFailures() { Scenario().quiet = before_; }

std::string SaveFailurePicture(const std::string& suffix)
{
    const ScenarioState& s = Scenario();
    const std::string folder = BuildFolder() + "\\e2e-failures";
    if (!MakeFolders(folder)) return {};
    WaitScreenStill(1000);
    const std::string path = folder + "\\" + FileNameSafe(s.name) + "-" + s.label + FileNameSafe(suffix) + ".png";
    return SaveScreenshot(path) ? path : std::string();
}

void Fail(const std::string& message)
{
    const std::string label = Scenario().label;
    if (Scenario().quiet) throw StepFailed("[step " + label + "] " + message);
    const std::string picture = SaveFailurePicture();
    throw StepFailed("[step " + label + "] " + message +
                     (picture.empty() ? "\n(no picture of the screen could be saved)" : "\nscreen: " + picture));
}

void WaitUntil(const std::function<bool()>& done, const std::string& what, DWORD timeoutMs)
{
    NextStep("WaitUntil");
    if (!Poll(done, timeoutMs)) Fail("still not so after " + std::to_string(timeoutMs) + " ms: " + what);
}

// ---- Controls -------------------------------------------------------------------------------------

std::ostream& operator<<(std::ostream& out, const Bounds& b)
{
    return out << "(" << b.left << "," << b.top << " " << b.width << "x" << b.height << ")";
}

std::ostream& operator<<(std::ostream& out, const Range& r) { return out << r.low << ".." << r.high; }

std::string Control::Class() const { return ClassOf(hwnd_); }

std::string Control::Text() const
{
    // An edit box keeps what was typed to itself: ask it. Other controls' texts are read without
    // waiting for their thread.
    if (!SameAscii(Class(), "Edit")) return StoredText(hwnd_);
    const auto length = Send(hwnd_, WM_GETTEXTLENGTH, 0, 0);
    if (!length) return StoredText(hwnd_);
    std::wstring text(static_cast<size_t>(*length) + 1, L'\0');
    const auto copied = Send(hwnd_, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    if (!copied) return StoredText(hwnd_);
    text.resize(static_cast<size_t>(std::min<LRESULT>(*copied, *length)));
    return Narrow(text);
}

int Control::Id() const { return ::GetDlgCtrlID(hwnd_); }
bool Control::Visible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
bool Control::StyleVisible() const { return (::GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }
bool Control::Enabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }

bool Control::Focused() const
{
    const DWORD thread = ::GetWindowThreadProcessId(hwnd_, nullptr);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (::GetGUIThreadInfo(thread, &info)) return info.hwndFocus == hwnd_;
    // Share the thread's input state for a moment to read its focus.
    const DWORD self = ::GetCurrentThreadId();
    if (!::AttachThreadInput(self, thread, TRUE)) return false;
    const HWND focus = ::GetFocus();
    ::AttachThreadInput(self, thread, FALSE);
    return focus == hwnd_;
}

Bounds Control::Place() const
{
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return Bounds{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool Control::Checked() const
{
    const auto state = Send(hwnd_, BM_GETCHECK, 0, 0);
    if (!state) Fail("no answer to BM_GETCHECK from " + Describe());
    return *state == BST_CHECKED;
}

Range Control::ProgressRange() const
{
    const auto low = Send(hwnd_, PBM_GETRANGE, TRUE, 0);
    const auto high = Send(hwnd_, PBM_GETRANGE, FALSE, 0);
    if (!low || !high) Fail("no answer to PBM_GETRANGE from " + Describe());
    return Range{static_cast<int>(*low), static_cast<int>(*high)};
}

int Control::ProgressPosition() const
{
    const auto position = Send(hwnd_, PBM_GETPOS, 0, 0);
    if (!position) Fail("no answer to PBM_GETPOS from " + Describe());
    return static_cast<int>(*position);
}

std::string Control::Describe() const
{
    if (!::IsWindow(hwnd_)) return "(a control that no longer exists)";
    std::ostringstream out;
    out << Class() << " " << Quoted(Text()) << " id=" << Id();
    out << (Visible() ? " visible" : StyleVisible() ? " hidden-by-parent" : " hidden");
    out << (Enabled() ? " enabled" : " disabled");
    if (Focused()) out << " focus";
    if (IsCheckable(hwnd_)) {
        const auto state = Send(hwnd_, BM_GETCHECK, 0, 0);
        if (state && *state == BST_CHECKED) out << " checked";
    }
    if (SameAscii(Class(), "msctls_progress32")) {
        const auto low = Send(hwnd_, PBM_GETRANGE, TRUE, 0);
        const auto high = Send(hwnd_, PBM_GETRANGE, FALSE, 0);
        const auto position = Send(hwnd_, PBM_GETPOS, 0, 0);
        if (low && high && position) out << " range=" << *low << ".." << *high << " pos=" << *position;
    }
    out << " " << Place();
    return out.str();
}

void Control::Click() const
{
    NextStep("Click");
    ClickNow(hwnd_);
}

void Control::SetChecked(bool checked) const
{
    NextStep("Check");
    if (Checked() == checked) return;
    ClickNow(hwnd_);
    if (!Poll([&] { return Checked() == checked; }, kSettleMs))
        Fail("the check box did not change: " + Describe());
}

void Control::SetText(const std::string& text) const
{
    NextStep("SetText");
    const std::wstring wide = Wide(text);
    if (!Send(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str())))
        Fail("no answer to WM_SETTEXT from " + Describe());
}

void Control::Type(const std::string& text) const
{
    NextStep("Type");
    // A person clicks behind what is there, then types.
    if (SameAscii(Class(), "Edit")) {
        const auto length = Send(hwnd_, WM_GETTEXTLENGTH, 0, 0);
        if (!length || !Send(hwnd_, EM_SETSEL, static_cast<WPARAM>(*length), *length))
            Fail("no answer to EM_SETSEL from " + Describe());
    }
    for (wchar_t c : Wide(text))
        if (!Send(hwnd_, WM_CHAR, c, 1)) Fail("no answer to WM_CHAR from " + Describe());
}

// ---- Windows --------------------------------------------------------------------------------------

std::string Window::Caption() const { return StoredText(hwnd_); }
std::string Window::Class() const { return ClassOf(hwnd_); }
DWORD Window::ProcessId() const { return ProcessOf(hwnd_); }
HWND Window::Owner() const { return ::GetWindow(hwnd_, GW_OWNER); }
bool Window::Visible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
bool Window::Enabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }

SIZE Window::ClientSize() const
{
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

std::vector<Control> Window::Controls() const
{
    std::vector<Control> controls;
    for (HWND child : Descendants(hwnd_)) controls.emplace_back(child);
    return controls;
}

std::string Window::Listing() const
{
    std::string lines = "window " + Quoted(Caption()) + " class " + Class() + ":";
    for (const Control& c : Controls()) lines += "\n  " + c.Describe();
    return lines;
}

Control Window::Button(const std::string& caption, DWORD timeoutMs) const
{
    HWND found = nullptr;
    const auto find = [&] {
        for (HWND child : Descendants(hwnd_))
            if (SameAscii(ClassOf(child), "Button") && StoredText(child) == caption) {
                found = child;
                return true;
            }
        return false;
    };
    if (!Poll(find, timeoutMs)) Fail("no button " + Quoted(caption) + " in " + Listing());
    return Control(found);
}

bool Window::HasButton(const std::string& caption) const
{
    for (HWND child : Descendants(hwnd_))
        if (SameAscii(ClassOf(child), "Button") && StoredText(child) == caption) return true;
    return false;
}

Control Window::Child(const std::string& cls, int index, DWORD timeoutMs) const
{
    HWND found = nullptr;
    const auto find = [&] {
        int seen = 0;
        for (HWND child : Descendants(hwnd_))
            if (SameAscii(ClassOf(child), cls) && seen++ == index) {
                found = child;
                return true;
            }
        return false;
    };
    if (!Poll(find, timeoutMs)) Fail("no " + cls + " number " + std::to_string(index) + " in " + Listing());
    return Control(found);
}

Control Window::ById(int id, DWORD timeoutMs) const
{
    HWND found = nullptr;
    const auto find = [&] {
        for (HWND child : Descendants(hwnd_))
            if (::GetDlgCtrlID(child) == id) {
                found = child;
                return true;
            }
        return false;
    };
    if (!Poll(find, timeoutMs)) Fail("no control with id " + std::to_string(id) + " in " + Listing());
    return Control(found);
}

void Window::Close() const
{
    NextStep("Close");
    if (!::PostMessageW(hwnd_, WM_CLOSE, 0, 0)) Fail("WM_CLOSE could not be posted to " + Quoted(Caption()));
}

void Window::WaitGone(DWORD timeoutMs) const
{
    NextStep("WaitGone");
    if (!Poll([&] { return !::IsWindow(hwnd_) || !::IsWindowVisible(hwnd_); }, timeoutMs))
        Fail("window " + Quoted(Caption()) + " still open after " + std::to_string(timeoutMs) + " ms");
}

std::string TopLevelListing()
{
    std::string lines = "visible top-level windows:";
    for (HWND hwnd : TopLevels())
        if (::IsWindowVisible(hwnd))
            lines += "\n  " + Quoted(StoredText(hwnd)) + " class " + ClassOf(hwnd) + " pid " +
                     std::to_string(ProcessOf(hwnd)) + (::IsWindowEnabled(hwnd) ? "" : " disabled");
    return lines;
}

namespace {

bool Matches(HWND hwnd, const std::string& caption, const std::string& cls, DWORD pid)
{
    return ::IsWindowVisible(hwnd) && (pid == 0 || ProcessOf(hwnd) == pid) &&
           (cls.empty() || SameAscii(ClassOf(hwnd), cls)) && (caption.empty() || StoredText(hwnd) == caption);
}

HWND FindTopLevel(const std::string& caption, const std::string& cls, DWORD pid,
                  const std::function<bool(HWND)>& also = nullptr)
{
    for (HWND hwnd : TopLevels())
        if (Matches(hwnd, caption, cls, pid) && (!also || also(hwnd))) return hwnd;
    return nullptr;
}

std::string Wanted(const char* what, const std::string& caption, const std::string& cls, DWORD pid)
{
    std::string text = what;
    if (!caption.empty()) text += " " + Quoted(caption);
    if (!cls.empty()) text += " of class " + cls;
    if (pid != 0) text += " of process " + std::to_string(pid);
    return text;
}

}  // namespace

std::vector<Window> FindWindows(const std::string& caption, const std::string& cls, DWORD pid)
{
    std::vector<Window> found;
    for (HWND hwnd : TopLevels())
        if (Matches(hwnd, caption, cls, pid)) found.emplace_back(hwnd);
    return found;
}

Window WaitWindow(const std::string& caption, const std::string& cls, DWORD pid, DWORD timeoutMs)
{
    NextStep("WaitWindow");
    HWND found = nullptr;
    if (!Poll([&] { return (found = FindTopLevel(caption, cls, pid)) != nullptr; }, timeoutMs))
        Fail("no " + Wanted("window", caption, cls, pid) + " within " + std::to_string(timeoutMs) + " ms; " +
             TopLevelListing());
    return Window(found);
}

// ---- Message boxes ----------------------------------------------------------------------------------

MsgBox WaitMessageBox(const std::string& title, DWORD pid, DWORD timeoutMs)
{
    NextStep("WaitMessageBox");
    // The box can be visible a moment before its buttons exist.
    const auto hasButton = [](HWND box) {
        for (HWND child : Descendants(box))
            if (SameAscii(ClassOf(child), "Button") && ::IsWindowVisible(child)) return true;
        return false;
    };
    HWND found = nullptr;
    if (!Poll([&] { return (found = FindTopLevel(title, "#32770", pid, hasButton)) != nullptr; }, timeoutMs))
        Fail("no " + Wanted("message box", title, "", pid) + " within " + std::to_string(timeoutMs) + " ms; " +
             TopLevelListing());
    return MsgBox(found);
}

std::string MsgBox::Text() const
{
    HWND text = nullptr;
    const auto find = [&] {
        for (HWND child : Descendants(hwnd_))
            if ((::GetDlgCtrlID(child) & 0xFFFF) == 0xFFFF && SameAscii(ClassOf(child), "Static")) {
                text = child;
                return true;
            }
        return false;
    };
    if (!Poll(find, kSettleMs)) Fail("no text (static 0xFFFF) in " + Listing());
    return StoredText(text);
}

std::vector<Control> MsgBox::Buttons() const
{
    std::vector<Control> buttons;
    for (HWND child : Descendants(hwnd_))
        if (SameAscii(ClassOf(child), "Button") && (::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
            buttons.emplace_back(child);
    std::stable_sort(buttons.begin(), buttons.end(),
                     [](const Control& a, const Control& b) { return a.Place().left < b.Place().left; });
    return buttons;
}

std::vector<int> MsgBox::ButtonIds() const
{
    std::vector<int> ids;
    for (const Control& b : Buttons()) ids.push_back(b.Id());
    return ids;
}

void MsgBox::Press(int id) const
{
    NextStep("Press");
    HWND button = nullptr;
    const auto find = [&] {
        for (const Control& b : Buttons())
            if (b.Id() == id) {
                button = b.Handle();
                return true;
            }
        return false;
    };
    if (!Poll(find, kSettleMs)) Fail("no button with id " + std::to_string(id) + " in " + Listing());
    ClickNow(button);
    if (!Poll([&] { return !::IsWindow(hwnd_) || !::IsWindowVisible(hwnd_); }, kTimeoutMs))
        Fail("the message box is still open after pressing button " + std::to_string(id));
}

void MsgBox::Press(const std::string& caption) const
{
    NextStep("Press");
    HWND button = nullptr;
    const auto find = [&] {
        for (const Control& b : Buttons())
            if (b.Text() == caption) {
                button = b.Handle();
                return true;
            }
        return false;
    };
    if (!Poll(find, kSettleMs)) Fail("no button " + Quoted(caption) + " in " + Listing());
    ClickNow(button);
    if (!Poll([&] { return !::IsWindow(hwnd_) || !::IsWindowVisible(hwnd_); }, kTimeoutMs))
        Fail("the message box is still open after pressing " + Quoted(caption));
}

const char* IconName(Icon icon) noexcept
{
    switch (icon) {
    case Icon::None: return "none";
    case Icon::Error: return "error";
    case Icon::Warning: return "warning";
    case Icon::Information: return "information";
    case Icon::Question: return "question";
    case Icon::Unknown: break;
    }
    return "unknown";
}

std::ostream& operator<<(std::ostream& out, Icon icon) { return out << IconName(icon); }

// ---- Programs -------------------------------------------------------------------------------------

Process::Process(KernelHandle process, KernelHandle job, DWORD id, std::string name) noexcept
    : process_(std::move(process)), job_(std::move(job)), id_(id), name_(std::move(name))
{
}

Process::~Process() { Kill(); }

bool Process::Running() const
{
    return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

Window Process::WaitWindow(const std::string& caption, const std::string& cls, DWORD timeoutMs) const
{
    return e2e::WaitWindow(caption, cls, id_, timeoutMs);
}

MsgBox Process::WaitMessageBox(const std::string& title, DWORD timeoutMs) const
{
    return e2e::WaitMessageBox(title, id_, timeoutMs);
}

DWORD Process::WaitExit(DWORD timeoutMs) const
{
    NextStep("WaitExit");
    if (!process_) Fail(name_ + " was never started");
    if (::WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0)
        Fail(name_ + " is still running after " + std::to_string(timeoutMs) + " ms; " + TopLevelListing());
    DWORD code = 0;
    if (!::GetExitCodeProcess(process_.Get(), &code)) Fail("no exit code from " + name_);
    return code;
}

void Process::Kill() noexcept
{
    // The job holds what the program started too (a game, a setup); end them all.
    if (job_) ::TerminateJobObject(job_.Get(), 1);
    if (Running()) ::TerminateProcess(process_.Get(), 1);
    if (process_) ::WaitForSingleObject(process_.Get(), 5000);
    job_.Reset();
}

Process Start(const std::string& exe, const std::string& folder, const std::string& arguments)
{
    NextStep("Start");
    if (!PathExists(exe)) Fail("no program " + exe);
    if (!PathExists(folder)) Fail("no folder " + folder);
    const std::wstring wideExe = Wide(exe);
    const std::wstring wideFolder = Wide(folder);
    std::wstring commandLine = L"\"" + wideExe + L"\"";
    if (!arguments.empty()) commandLine += L" " + Wide(arguments);
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(wideExe.c_str(), writable.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          wideFolder.c_str(), &startup, &info))
        Fail("cannot start " + exe + " in " + folder + ": error " + std::to_string(::GetLastError()));
    KernelHandle process(info.hProcess);
    KernelHandle thread(info.hThread);

    KernelHandle job(::CreateJobObjectW(nullptr, nullptr));
    if (job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (!::SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
            !::AssignProcessToJobObject(job.Get(), process.Get()))
            job.Reset();
    }
    ::ResumeThread(thread.Get());
    const size_t cut = exe.find_last_of('\\');
    return Process(std::move(process), std::move(job), info.dwProcessId,
                   cut == std::string::npos ? exe : exe.substr(cut + 1));
}

}  // namespace e2e
