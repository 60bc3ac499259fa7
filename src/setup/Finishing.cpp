#include "setup/Finishing.h"

#include "setup/Guard.h"
#include "setup/ProgramsEntry.h"
#include "setup/StartMenu.h"
#include "util/File.h"

namespace setup {

namespace {

std::optional<std::string> TargetOf(const Plan& plan, const std::optional<int>& index, const std::string& folder)
{
    if (!index) return std::nullopt;
    const std::string& name = plan.items[static_cast<size_t>(*index)].storedName;
    if (name.empty()) return std::nullopt;
    return folder + "\\" + name;
}

}  // namespace

Finished Finish(const Game& game, const std::string& folder, const Plan& plan, const std::string& program,
                unsigned long long sizeKB, const CopyResult& copy)
{
    for (const SetAside& file : copy.setAside) DeleteFileAt(file.aside);
    std::vector<startmenu::Shortcut> shortcuts = {{game.gameName, TargetOf(plan, plan.gameIndex, folder)}};
    if (!game.shortCutGdi.empty()) shortcuts.push_back({game.shortCutGdi, TargetOf(plan, plan.gdiIndex, folder)});
    shortcuts.push_back({"お読み下さい", folder + "\\お読み下さい.txt"});
    shortcuts.push_back({"アンインストールについて", folder + "\\アンインストールについて.txt"});
    Finished finished;
    finished.shortcutsNotMade = startmenu::MakeShortcuts(game.shortCut, shortcuts, folder);
    finished.record = record::Write(game.installDir, folder);
    if (finished.record.opened && finished.record.readBack.status.Ok())
        // Only the list entry is missing when this fails: the game is installed and uninstallable.
        finished.entry = entry::Register(game.installDir, program, {game.gameName, folder + "\\", sizeKB});
    return finished;
}

void RollBack(const CopyResult& copy, const FolderLevels& levels) noexcept
{
    for (const std::string& file : copy.created) DeleteFileAt(file);
    for (auto file = copy.setAside.rbegin(); file != copy.setAside.rend(); ++file)
        // One that cannot go back stays where it is, under the name it was set aside as.
        (void)RenameAt(file->aside, file->file);
    RemoveLevelsMade(levels);
}

}  // namespace setup
