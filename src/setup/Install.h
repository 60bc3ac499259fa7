#pragma once
// The installation and the uninstall as the player goes through them, without their windows: each
// flow takes the values it works on and an interface for what only a window or a person can do,
// and makes every decision between them itself.

#include <optional>
#include <string>
#include <vector>

#include "setup/CopyEngine.h"
#include "setup/FolderName.h"
#include "setup/Game.h"
#include "setup/InstallPlan.h"
#include "setup/Uninstall.h"
#include "util/Result.h"

namespace setup {

// What the player is told; the windows word it.
enum class Notice {
    FolderCannotBeMade,  // the destination cannot be made (its path); the player chooses again
    Cancelled,           // the copy did not finish: everything it did is undone
    ShortcutFailed,      // one shortcut was not made (its link)
    RecordUnreadable,    // the install record cannot be written or read back (the value)
    Installed,
    Uninstalled,
    FilesRemain,         // the uninstall left files it was to delete: the record stays
    StartMenuRemoved,
};

// What the destination dialog closes with.
struct Destination {
    std::string folder;  // as typed, without a final backslash
    Plan plan;           // the file list as the sound options select it
    unsigned long long sizeKB = 0;  // as the dialog counted it
    bool playMovie = false;
};

// What the copy window shows the copy engine working on.
struct CopyTask {
    CopyJob job;
    unsigned long long totalKB = 0;  // the install size, the whole bar's range
    std::string movie;               // the installed movie to loop from the second item; empty for none
    std::string wallPaper;           // the picture shown without a movie; empty for none
};

class InstallSteps {
public:
    // The destination dialog; false when the player cancels it.
    virtual bool ChooseDestination(Destination& chosen) = 0;
    // The destination is a folder already: whether to install into it all the same.
    virtual bool ConfirmOverwrite(const std::string& folder) = 0;
    // The copy with its window; a failure the copy ends with is shown there.
    virtual CopyResult RunCopy(const CopyTask& task) = 0;
    virtual void Tell(Notice notice, const Result& detail) = 0;

protected:
    ~InstallSteps() = default;
};

// The destination, the folder (made level by level, or an existing one the player confirms), the
// copy, then the rollback or the finishing steps, each told to the player. The install record's
// Dir as read back when the game was installed (empty when the record's key could not be made);
// nothing when it was not.
[[nodiscard]] std::optional<std::string> Install(const Game& game, const std::string& program, InstallSteps& steps);

class UninstallSteps {
public:
    // The uninstall options dialog; nothing when the player cancels it.
    virtual std::optional<Choices> ChooseWhatToRemove() = 0;
    virtual void Tell(Notice notice, const Result& detail) = 0;

protected:
    ~UninstallSteps() = default;
};

// The choices, the removal, then what it left told. False when the player cancelled.
[[nodiscard]] bool Uninstall(const Game& game, const std::string& installedDir, UninstallSteps& steps);

}  // namespace setup
