#include "setup/SetupNames.h"

#include <algorithm>

#include "util/Names.h"

namespace setup {

std::string StoredName(const std::string& entry)
{
    std::string name = FileNamePart(entry);
    if (!IsFileName(name)) name.clear();
    return name;
}

bool IsSoundEntry(const std::string& entry)
{
    return LowerAscii(FileNamePart(entry).substr(0, 3)) == "wav";
}

bool IsOwnedKeyName(std::string_view folderName) noexcept
{
    // The keys that Windows itself keeps below Software, and the one shared by 32-bit programs.
    const std::string_view first = folderName.substr(0, std::min(folderName.find('\\'), folderName.size()));
    for (const std::string_view owned :
         {"MICROSOFT", "CLASSES", "CLIENTS", "POLICIES", "WOW6432NODE", "REGISTEREDAPPLICATIONS", "APPDATALOW"})
        if (IsAsciiNameEqual(first, owned)) return true;
    return false;
}

std::optional<std::string> ShortcutFileName(std::string_view name)
{
    // Their full-width forms ＼／：＊？＂＜＞｜ in code page 932, spelled as bytes so that a build
    // without the code-page-932 execution character set (the fuzz targets) has them too.
    static constexpr std::string_view kForbidden = "\\/:*?\"<>|";
    static constexpr const char* kFullWidth[] = {"\x81\x5F", "\x81\x5E", "\x81\x46", "\x81\x96", "\x81\x48",
                                                 "\xFA\x57", "\x81\x83", "\x81\x84", "\x81\x62"};
    std::string file;
    for (size_t i = 0, next = 0; i < name.size(); i = next) {
        next = std::min(NextValidChar(name, i), name.size());
        const size_t forbidden = next == i + 1 ? kForbidden.find(name[i]) : std::string_view::npos;
        if (forbidden != std::string_view::npos)
            file += kFullWidth[forbidden];
        else
            file.append(name.substr(i, next - i));
    }
    if (!IsFileName(file)) return std::nullopt;
    return file;
}

std::string IniPathFor(const std::string& programPath)
{
    return programPath.substr(0, programPath.size() - Extension(programPath).size()) + ".ini";
}

}  // namespace setup
