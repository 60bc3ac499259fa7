#pragma once
// Started from Windows' list of installed programs, the uninstaller hands over to a temporary copy
// of itself and ends, so that the uninstall can delete the uninstaller's folder: on Windows a
// running program's file cannot be deleted, and the temporary copy is left where the system cleans
// up.

#include <string>

// When `program` runs from an uninstaller's folder (below the local application-data folder, its
// name ending in " Uninstall"): copies it with its ini file into a new folder below the temporary
// folder and starts that copy there. True when the copy runs and this one is to end at once, before
// it takes the single-instance guard.
[[nodiscard]] bool HandOver(const std::string& program);
