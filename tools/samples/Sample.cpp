// Stand-ins for what a game disc holds besides Setup.exe: the game, its GDI variant and the DirectX
// setup. Each is a window that says what it is and where it runs (the setup also which file was
// started), so that a driver from outside can check how the launcher started it.
#include <windows.h>

#include <string>

#include "util/Handles.h"

namespace {

#if defined(SAMPLE_DXSETUP)
constexpr wchar_t kClassName[] = L"SampleDxSetupWindow";
constexpr wchar_t kTitle[] = L"DirectX セットアップ (見本)";
#elif defined(SAMPLE_GDI)
constexpr wchar_t kClassName[] = L"SampleGameGdiWindow";
constexpr wchar_t kTitle[] = L"サンプルゲーム (GDI)";
#else
constexpr wchar_t kClassName[] = L"SampleGameWindow";
constexpr wchar_t kTitle[] = L"サンプルゲーム";
#endif
constexpr int kTextId = 100;

// The folder exactly as the system reports it; empty when it cannot be read.
std::wstring CurrentDirectory()
{
    std::wstring folder;
    DWORD need = ::GetCurrentDirectoryW(0, nullptr);
    while (need != 0) {
        folder.resize(need);
        const DWORD got = ::GetCurrentDirectoryW(need, folder.data());
        if (got < need) {
            folder.resize(got);
            return folder;
        }
        need = got;  // it changed in between: try again with the new length
    }
    return {};
}

#ifdef SAMPLE_DXSETUP
// This program's full path; a result that fills the buffer may be cut, so the buffer grows.
std::wstring ProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got == 0) return {};
        if (got < path.size()) {
            path.resize(got);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}
#endif

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (HWND text = ::GetDlgItem(window, kTextId)) {
            ::MoveWindow(text, 12, 12, LOWORD(lParam) - 24, HIWORD(lParam) - 24, TRUE);
        }
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc)) return 1;

    HWND window = ::CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 560, 160, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    std::wstring text = L"作業フォルダ: " + CurrentDirectory();
#ifdef SAMPLE_DXSETUP
    // One label, two lines: the driver reads both from the same control.
    text += L"\r\nプログラム: " + ProgramPath();
#endif
    HWND label = ::CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 12,
                                   520, 100, window, reinterpret_cast<HMENU>(kTextId), instance, nullptr);
    const GdiObject font(::CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       DEFAULT_PITCH | FF_DONTCARE, L"ＭＳ Ｐゴシック"));
    if (label && font) ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    ::ShowWindow(window, show);
    ::UpdateWindow(window);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
