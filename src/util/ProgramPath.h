#pragma once

#include <string>

// The running program's full path, code page 932; empty when it has no code-page-932 form.
[[nodiscard]] std::string ProgramPath();
// Its folder, up to and including the last backslash.
[[nodiscard]] std::string ProgramFolder();
// The Windows folder, code page 932; empty when it cannot be read.
[[nodiscard]] std::string WindowsFolder();
