#pragma once
// Everything that waits for a person's answer goes through here: message boxes and the folder
// browser. In-process tests put a scripted person in place; otherwise the real dialogs are shown.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// The one function that shows a message box: owner, text, title, style (MB_*). Returns the
// button pressed (IDOK, IDYES, IDNO, ...). Views, so that the many calls with literal texts build
// no strings of their own.
int ShowMessageBox(HWND owner, std::string_view text, std::string_view title, UINT style);

// The title of every message box but the copy's file errors and its cancel question.
inline constexpr char kMessageTitle[] = "Setup.exe";

class ScriptedPerson {
public:
    virtual ~ScriptedPerson() = default;
    virtual int AnswerMessageBox(HWND owner, const std::string& text, const std::string& title, UINT style) = 0;
    // The folder chosen in the folder browser, or nothing for Cancel.
    virtual std::optional<std::string> AnswerFolderBrowser(HWND owner, const std::string& prompt,
                                                           const std::string& initialFolder) = 0;
};

// Tests only: answers come from `person` until it is reset with nullptr.
void SetScriptedPerson(ScriptedPerson* person) noexcept;
[[nodiscard]] ScriptedPerson* GetScriptedPerson() noexcept;
