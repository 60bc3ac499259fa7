#pragma once
// What the player is told of the installer's work, worded in one place: the flows' notices, the
// copy's failures and those of the install record.

#include <windows.h>

#include <string>

#include "setup/Install.h"
#include "util/Result.h"

namespace forms {

// A notice in a message box owned by `owner`.
void ShowNotice(HWND owner, setup::Notice notice, const Result& detail);

// The question before an installation into a folder that exists: true for Yes.
[[nodiscard]] bool AskOverwrite(HWND owner);

// The question on the copy's cancel button: true for Yes, stop.
[[nodiscard]] bool AskStopCopy(HWND owner);

// How a copy ended, when it failed: titled with the file concerned. Nothing for a stop.
void ShowCopyFailure(HWND owner, const Result& failure);

// A failure of the install record's value, as the error box shows it.
[[nodiscard]] std::string RecordFailureText(const Result& failure);

}  // namespace forms
