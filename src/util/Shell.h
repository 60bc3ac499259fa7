#pragma once
// The shell services the installer needs: special folders, shortcut files and the folder browser.
// Texts are code-page-932 byte strings; none of these shows a message.

#include <windows.h>

#include <string>

// The special folder `csidl` (CSIDL_PROGRAMS, ...) without a trailing backslash. On failure `path` is
// left as it was.
[[nodiscard]] bool GetSpecialFolderPath(HWND owner, std::string& path, int csidl, bool create) noexcept;

// Writes the shortcut file `link` pointing at `target`; arguments and working folder are set only
// when given. True when the file was saved.
[[nodiscard]] bool CreateShortcut(const std::string& link, const std::string& target, const std::string* arguments,
                                  const std::string* workingFolder, int showCommand) noexcept;

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
