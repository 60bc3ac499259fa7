#pragma once
// A whole installation inside one click of the main menu's install button: the destination dialog,
// the folder, the copy window, then either the rollback or the Start-menu shortcuts and the install
// record.

#include <string>
#include <vector>

class TMainForm;

namespace install {

void RunInstallation(TMainForm& main);

// Deletes the files a cancelled or failed copy left (only those it created or emptied), then the
// destination folder and the enclosing folders that this leaves empty.
void RollBack(const std::string& destination, const std::vector<std::string>& createdFiles) noexcept;

}  // namespace install
