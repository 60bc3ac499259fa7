#include "setup/Installation.h"

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

Finished Finish(HWND owner, const Finishing& values, const CopyResult& copy)
{
    for (const SetAside& file : copy.setAside) DeleteFileAt(file.aside);
    const std::string& folder = values.destination;
    std::vector<setup::startmenu::Shortcut> shortcuts = {{values.gameName, TargetOf(values.plan, values.plan.gameIndex, folder)}};
    if (!values.shortCutGdi.empty())
        shortcuts.push_back({values.shortCutGdi, TargetOf(values.plan, values.plan.gdiIndex, folder)});
    shortcuts.push_back({"お読み下さい", folder + "\\お読み下さい.txt"});
    shortcuts.push_back({"アンインストールについて", folder + "\\アンインストールについて.txt"});
    Finished finished;
    finished.shortcutFailures = setup::startmenu::MakeShortcuts(owner, values.shortCut, shortcuts, folder);
    finished.record = setup::record::Write(values.installDir, folder);
    if (finished.record.opened && finished.record.readBack.error.empty())
        // Only the list entry is missing when this fails: the game is installed and uninstallable.
        (void)setup::entry::Register(values.installDir, values.program, {values.gameName, folder + "\\", values.sizeKB});
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
