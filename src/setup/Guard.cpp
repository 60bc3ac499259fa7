#include "setup/Guard.h"

#include <windows.h>
#include <shlobj.h>

#include <new>
#include <optional>
#include <vector>

#include "util/Cp932.h"
#include "util/File.h"
#include "util/FolderPaths.h"
#include "util/Names.h"
#include "util/Registry.h"

namespace setup {

namespace {

constexpr DWORD kVolumeLabel = 0x08;

// The system's and the player's own folders: none of them, nor anything above one, is ever emptied
// or removed, whatever an install record or a setup file names.
constexpr int kKnownFolders[] = {
    CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_SYSTEMX86, CSIDL_FONTS, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
    CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_PROFILE, CSIDL_DESKTOPDIRECTORY,
    CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_COMMON_DOCUMENTS, CSIDL_MYMUSIC, CSIDL_MYPICTURES,
    CSIDL_MYVIDEO, CSIDL_FAVORITES, CSIDL_TEMPLATES, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_COMMON_APPDATA,
    CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU, CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, CSIDL_STARTUP,
    CSIDL_COMMON_STARTUP,
};

// A folder of the registry's 64-bit view. A 32-bit program is told the 32-bit Program Files folder
// for both Program Files folders, but a game may still be installed in the other one.
std::optional<std::wstring> NativeFolder(CRegistry& registry, const char* name)
{
    const RegistryText value = registry.ReadString(name);
    if (!value.status.Ok() || value.text.empty()) return std::nullopt;
    return cp932::ToWide(value.text);
}

std::vector<std::wstring> KnownFolders()
{
    std::vector<std::wstring> paths;
    for (const int csidl : kKnownFolders) {
        wchar_t path[MAX_PATH] = {};
        if (::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK || path[0] == L'\0')
            continue;
        paths.emplace_back(path);
    }
    CRegistry registry(HKEY_LOCAL_MACHINE);
    if (registry.OpenKeyReadOnly("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_WOW64_64KEY))
        for (const char* name : {"ProgramFilesDir", "CommonFilesDir", "ProgramW6432Dir", "CommonW6432Dir"})
            if (auto folder = NativeFolder(registry, name)) paths.push_back(std::move(*folder));
    // The temporary folder too: emptied by a rollback's walk up, it would be gone for every program.
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    if (length > 0 && length <= MAX_PATH) paths.emplace_back(temp);

    // Each as named and as where it leads: a Documents folder that is a link is reached both ways.
    LongNames longNames;
    std::vector<std::wstring> known;
    for (const std::wstring& path : paths) {
        if (auto canonical = CanonicalPath(path, longNames)) known.push_back(std::move(*canonical));
        if (const auto resolved = ResolvedPath(path))
            if (auto canonical = CanonicalPath(*resolved, longNames)) known.push_back(std::move(*canonical));
    }
    return known;
}

// Whether `folder` may be emptied or removed: a fully qualified path below a drive or share that is
// none of the known folders and lies above none of them.
bool MayTouch(const std::string& folder, const std::vector<std::wstring>& known)
{
    // No folder's name holds a wildcard; the level lookups would take one as a pattern.
    if (!FitsSystemPath(folder) || folders::IsRelativePath(folder) || folders::HasStreamColon(folder) ||
        folder.find_first_of("*?") != std::string::npos)
        return false;
    const auto wide = cp932::ToWide(folder);
    if (!wide) return false;
    // The folder as named and where it leads, when it is a link or lies below one: both must pass.
    const auto resolved = ResolvedPath(*wide);
    if (!resolved) return false;
    LongNames longNames;
    for (const std::wstring* path : {&*wide, &*resolved}) {
        const auto canonical = CanonicalPath(*path, longNames);
        if (!canonical) return false;
        const auto narrow = cp932::FromWide(*canonical);
        if (!narrow || folders::IsRelativePath(*narrow) || folders::IsDriveOrShareRoot(*narrow)) return false;
        for (const std::wstring& k : known) {
            if (k.size() < canonical->size() || k.compare(0, canonical->size(), *canonical) != 0) continue;
            if (k.size() == canonical->size() || k[canonical->size()] == L'\\') return false;
        }
    }
    return true;
}

}  // namespace

void RemoveLevelsMade(const FolderLevels& levels) noexcept
{
    try {
        const std::vector<std::wstring> known = KnownFolders();
        for (auto level = levels.made.rbegin(); level != levels.made.rend(); ++level)
            if (!FolderHasEntries(*level) && MayTouch(*level, known)) RemoveEmptyFolder(*level);
    } catch (const std::bad_alloc&) {  // the levels stay
    }
}

void DeleteFolderFiles(const std::string& folder) noexcept
{
    try {
        if (!MayTouch(folder, KnownFolders())) return;
        const auto wide = cp932::ToWide(folder);
        if (!wide) return;
        WIN32_FIND_DATAW found{};
        const FindHandle search(::FindFirstFileW((*wide + L"\\*.*").c_str(), &found));
        if (!search) return;
        do {
            if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | kVolumeLabel)) continue;
            // The same length rule as every path the program composes: a longer one is passed over.
            const std::wstring name = found.cFileName;
            if (!FitsSystemPath(folder + "\\" + cp932::FromWideLossy(name))) continue;
            DeleteAsItself(*wide + L"\\" + name, true);
        } while (::FindNextFileW(search.Get(), &found));
    } catch (const std::bad_alloc&) {  // the rest stays
    }
}

bool MayEmptyOrRemove(const std::string& folder) noexcept
{
    try {
        return MayTouch(folder, KnownFolders());
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool IsGameFolder(const std::string& folder, const FolderName& installDir) noexcept
{
    try {
        if (!installDir.IsLastLevelOf(folder) || !MayEmptyOrRemove(folder)) return false;
        // A link bearing the game's name may lead to a folder of the player's: where it leads must
        // bear the name too (in any letter case, as the file system spells it), as a game folder
        // moved to another drive and linked back does.
        const auto wide = cp932::ToWide(folder);
        const auto resolved = wide ? ResolvedPath(*wide) : std::nullopt;
        const auto narrow = resolved ? cp932::FromWide(*resolved) : std::nullopt;
        return narrow && LowerAscii(FileNamePart(*narrow)) == LowerAscii(installDir.LastLevel());
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void RemoveFolderAndEmptyParents(const std::string& folder) noexcept
{
    try {
        const std::vector<std::wstring> known = KnownFolders();
        if (FolderHasEntries(folder) || !MayTouch(folder, known)) return;
        // A folder that is a link: first the folder it leads to, then the link itself (Windows
        // removes a link as a link; Wine, which follows it, has by then nothing left to remove).
        const auto wide = cp932::ToWide(folder);
        const auto resolved = wide ? ResolvedPath(*wide) : std::nullopt;
        if (resolved && UpperPath(*resolved) != UpperPath(*wide)) {
            ClearReadOnly(*resolved);
            ::RemoveDirectoryW(resolved->c_str());
        }
        // Attempted even when the folder is already gone: its emptied parents still go.
        RemoveEmptyFolder(folder);
        for (const std::string& parent : folders::ParentsToRemove(folder)) {
            if (FolderHasEntries(parent) || !MayTouch(parent, known)) return;
            // An emptied parent that is a link stays: Wine would remove the folder it leads to.
            const auto attributes = AttributesAt(parent);
            if (attributes && (*attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return;
            RemoveEmptyFolder(parent);
        }
    } catch (const std::bad_alloc&) {  // the parents stay
    }
}

}  // namespace setup
