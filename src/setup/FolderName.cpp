#include "setup/FolderName.h"

#include "setup/SetupNames.h"
#include "util/Names.h"

namespace setup {

std::optional<FolderName> FolderName::Parse(std::string_view text)
{
    if (!IsFolderName(text)) return std::nullopt;
    return FolderName(text);
}

std::optional<FolderName> FolderName::ParseInstallDir(std::string_view text)
{
    if (IsOwnedKeyName(text)) return std::nullopt;
    return Parse(text);
}

std::string FolderName::LastLevel() const { return FileNamePart(text_); }

bool FolderName::IsLastLevelOf(const std::string& folder) const { return FileNamePart(folder) == LastLevel(); }

}  // namespace setup
