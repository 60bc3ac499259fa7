#pragma once
// The shell services the installer needs: special folders and shortcut files.
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
