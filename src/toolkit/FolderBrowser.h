#pragma once
// The shell's folder browser, or a scripted person's answer in its place.

#include <windows.h>

#include <string>

enum class FolderChoice {
    Chosen,     // the folder is in `chosen`
    Cancelled,  // the person cancelled
    Unusable,   // a folder was picked that has no path, no code-page-932 form, or one over 259 bytes
};

// Shows the shell's folder browser with `initialFolder` selected. `chosen` is changed only when the
// result is Chosen. A scripted person, when set, answers instead.
[[nodiscard]] FolderChoice ChooseFolder(HWND owner, const std::string& prompt, const std::string& initialFolder,
                                        std::string& chosen);

// The browser's callback: `data` is the initial folder as a zero-terminated UTF-16 text.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM parameter, LPARAM data) noexcept;
