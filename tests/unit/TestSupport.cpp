#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <exception>

#include "app/MainForm.h"
#include "forms/CopyForm.h"
#include "forms/InstallForm.h"
#include "forms/UninstForm.h"
#include "util/Cp932.h"
#include "util/Handles.h"

namespace testsupport {

namespace {

// Clears every attribute before deleting, so that read-only files and folders go too.
bool RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found{};
    FindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (find) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                continue;  // a link left behind: never followed, and the failure shows
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(find.Get(), &found));
    }
    find.Reset();
    return ::RemoveDirectoryW(folder.c_str()) != FALSE;
}

constexpr wchar_t kWindowClass[] = L"SetupUnitTestWindow";

// Under Wine: the Unix path of a Windows path; empty elsewhere.
std::wstring UnixPath(const std::wstring& path)
{
    using Function = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(path.c_str()) : nullptr;
    if (!name) return {};
    std::wstring wide(static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0)), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, name, -1, wide.data(), static_cast<int>(wide.size()));
    ::HeapFree(::GetProcessHeap(), 0, name);
    if (!wide.empty()) wide.pop_back();
    return wide;
}

// Runs a Unix shell command under Wine, which starts Unix programs but cannot wait for them: the
// command leaves the file `marker` (a Windows path) when it is done. True when it was.
bool RunUnix(const std::wstring& command, const std::wstring& marker)
{
    const std::wstring unixMarker = UnixPath(marker);
    if (unixMarker.empty()) return false;
    std::wstring commandLine = L"/bin/sh -c \"" + command + L"; touch '" + unixMarker + L"'\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(L"Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started))
        return false;
    // Its handles are left alone: what Wine hands back for a Unix program is no handle of it, and
    // closing those values made this process's later windows fail (error 6).
    for (int waited = 0; waited < 500; ++waited) {
        if (::DeleteFileW(marker.c_str())) return true;
        ::Sleep(10);
    }
    return false;
}

}  // namespace

std::wstring Wide(const std::string& text)
{
    auto wide = cp932::ToWide(text);
    if (!wide) ADD_FAILURE() << "not code page 932: " << testing::PrintToString(text);
    return wide.value_or(std::wstring());
}

setup::FolderName Folder(std::string_view text)
{
    auto name = setup::FolderName::Parse(text);
    if (!name) {
        ADD_FAILURE() << "not a folder name: " << text;
        name = setup::FolderName::Parse("Unnamed");
    }
    return *name;
}

bool Exists(const std::string& path) { return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteFileAt(const std::string& path, std::string_view bytes)
{
    const FileHandle file(
        ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(file) << path;
    DWORD written = 0;
    EXPECT_TRUE(::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) << path;
    EXPECT_EQ(written, bytes.size()) << path;
}

std::vector<std::string> Listing(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const FindHandle search(::FindFirstFileW(Wide(folder + "\\*").c_str(), &found));
    if (!search) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(cp932::FromWideLossy(name));
    } while (::FindNextFileW(search.Get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

bool MakeLink(const std::string& link, const std::string& target)
{
    const std::wstring wideLink = Wide(link);
    const std::wstring unixLink = UnixPath(wideLink);
    const std::wstring unixTarget = UnixPath(Wide(target));
    const bool made = !unixLink.empty() && !unixTarget.empty() &&
                      RunUnix(L"ln -s '" + unixTarget + L"' '" + unixLink + L"'", wideLink + L".done");
    EXPECT_TRUE(made) << "cannot make the link " << link << " to " << target;
    return made;
}

void RemoveLink(const std::string& link)
{
    const std::wstring wideLink = Wide(link);
    EXPECT_TRUE(RunUnix(L"rm -f '" + UnixPath(wideLink) + L"'", wideLink + L".done")) << link;
}

TempFolder::TempFolder(const std::string& leaf)
{
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) {
        ADD_FAILURE() << "no temporary folder (" << length << ")";
        return;
    }
    const auto wideLeaf = cp932::ToWide(leaf);
    if (!wideLeaf || wideLeaf->empty()) {
        ADD_FAILURE() << "not a name for a folder: " << testing::PrintToString(leaf);
        return;
    }
    // The process id and the first free number keep apart runs, owners and whatever a crash left.
    const std::wstring stem = std::wstring(temp, length) + std::to_wstring(::GetCurrentProcessId()) + L"-";
    for (int n = 1; n <= 100; ++n) {
        const std::wstring candidate = stem + std::to_wstring(n) + L"-" + *wideLeaf;
        if (!::CreateDirectoryW(candidate.c_str(), nullptr)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_ALREADY_EXISTS) continue;
            ADD_FAILURE() << "cannot make " << candidate << " (error " << error << ")";
            return;
        }
        auto path = cp932::FromWide(candidate);
        if (!path) {
            ADD_FAILURE() << "the temporary folder has no code-page-932 name: " << candidate;
            ::RemoveDirectoryW(candidate.c_str());
            return;
        }
        widePath_ = candidate;
        path_ = *path;
        return;
    }
    ADD_FAILURE() << "no free name for a temporary folder at " << stem;
}

TempFolder::~TempFolder()
{
    if (Made() && !RemoveTree(widePath_))
        ADD_FAILURE() << "cannot remove " << widePath_ << " (error " << ::GetLastError() << ")";
}

std::string TempFolder::WriteBytes(const std::string& name, const void* data, size_t size) const
{
    const std::string path = PathOf(name);
    WriteFileAt(path, std::string_view(static_cast<const char*>(data), size));
    return path;
}

ProgramWindows::ProgramWindows() : app_(::GetModuleHandleW(nullptr))
{
    app_.Initialize();
    app_.CreateForm(MainForm);
    app_.CreateForm(InstallForm);
    app_.CreateForm(UninstForm);
    app_.CreateForm(CopyForm);
    MainForm->UseDialogs(*InstallForm, *UninstForm, *CopyForm);
}

ProgramWindows::~ProgramWindows()
{
    // The windows themselves go with the application object, after this body.
    MainForm = nullptr;
    InstallForm = nullptr;
    UninstForm = nullptr;
    CopyForm = nullptr;
}

TestWindow::TestWindow(const wchar_t* title, DWORD style, int width, int height)
{
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &TestWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        ADD_FAILURE() << "cannot register the test window class (error " << ::GetLastError() << ")";
        return;
    }
    const HWND window = ::CreateWindowExW(0, kWindowClass, title, style, 0, 0, width, height, nullptr, nullptr,
                                          instance, this);
    if (!window) ADD_FAILURE() << "cannot make the test window (error " << ::GetLastError() << ")";
    window_ = window;
}

void TestWindow::Destroy()
{
    if (window_) ::DestroyWindow(window_);  // WM_NCDESTROY forgets it
}

LRESULT CALLBACK TestWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    } else if (self && message == WM_COMMAND) {
        try {
            self->commands_.emplace_back(wParam, lParam);
        } catch (const std::exception& error) {
            ADD_FAILURE() << "the test window lost a command: " << error.what();
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs) return false;
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (!done()) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

}  // namespace testsupport
