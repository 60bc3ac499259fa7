#include "setup/Install.h"

#include "setup/Finishing.h"
#include "setup/Guard.h"
#include "setup/InstallRecord.h"

namespace setup {

std::optional<std::string> Install(const Game& game, const std::string& program, InstallSteps& steps)
{
    FolderLevels levels;
    Destination destination;
    for (;;) {
        if (!steps.ChooseDestination(destination)) return std::nullopt;
        if (CreateFolderPath(destination.folder, levels)) break;
        if (levels.folder) {
            if (steps.ConfirmOverwrite(destination.folder)) break;
            RemoveLevelsMade(levels);
            return std::nullopt;
        }
        // Refused like a destination the dialog refuses: the player chooses another.
        steps.Tell(Notice::FolderCannotBeMade, Failed(Failure::CannotCreate, destination.folder));
        RemoveLevelsMade(levels);
    }

    const std::string& folder = destination.folder;
    const CopyTask task{{folder, std::move(destination.plan)},
                        destination.sizeKB,
                        destination.playMovie ? folder + "\\" + game.movie : std::string(),
                        game.wallPaper};
    const CopyResult copy = steps.RunCopy(task);
    if (!copy.outcome.Ok()) {
        steps.Tell(Notice::Cancelled, copy.outcome);
        RollBack(copy, levels);
        return std::nullopt;
    }

    const Finished finished = Finish(game, folder, task.job.plan, program, destination.sizeKB, copy);
    for (const std::string& link : finished.shortcutsNotMade)
        steps.Tell(Notice::ShortcutFailed, {Failure::CannotCreate, link, 0});
    if (!finished.record.readBack.status.Ok()) {
        steps.Tell(Notice::RecordUnreadable, finished.record.readBack.status);
        return std::nullopt;
    }
    steps.Tell(Notice::Installed, {});
    return finished.record.readBack.text;
}

bool Uninstall(const Game& game, const std::string& installedDir, UninstallSteps& steps)
{
    const std::optional<Choices> choices = steps.ChooseWhatToRemove();
    if (!choices) return false;
    std::vector<std::string> names;
    for (const CopyItem& item : MakePlan(game.entries, std::string(), !game.movie.empty(), {}).items)
        names.push_back(item.storedName);
    const Removal removal = RemoveInstalledCopy({installedDir, game.installDir, game.shortCut, std::move(names)}, *choices);
    // With files left the record stays: run again once the game has ended, the uninstall finishes.
    steps.Tell(removal == Removal::Complete ? Notice::Uninstalled : Notice::FilesRemain, {});
    return true;
}

}  // namespace setup
