#include "util/Folders.h"

#include <windows.h>
#include <shlobj.h>

#include <new>
#include <optional>
#include <vector>

#include "util/Cp932.h"
#include "util/FolderPaths.h"
#include "util/Handles.h"
#include "util/Names.h"

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

// Long names for the levels of fully qualified paths, each level looked up once: the known folders
// share most of their upper levels, and every lookup is a trip to the file system.
class LongNames {
public:
    std::wstring Of(const std::wstring& full)
    {
        // The levels below a drive, or below a share's (or a namespace's) first two.
        size_t root = 2;
        if (full.compare(0, 2, L"\\\\") == 0) {
            root = full.find(L'\\', 2);
            if (root != full.npos) root = full.find(L'\\', root + 1);
        } else if (full.size() < 3 || full[1] != L':' || full[2] != L'\\') {
            return full;
        }
        if (root == full.npos) return full;
        std::wstring result = full.substr(0, root);
        bool exists = true;
        for (size_t start = root + 1, end = root + 1; end <= full.size(); ++end) {
            if (end < full.size() && full[end] != L'\\') continue;
            const std::wstring prefix = full.substr(0, end);
            size_t i = 0;
            while (i < levels_.size() && levels_[i] != prefix) i += 2;
            const size_t level = start;
            start = end + 1;
            if (i < levels_.size()) {
                result = levels_[i + 1];
                continue;
            }
            // Below a level that does not exist, the rest keeps its spelling.
            WIN32_FIND_DATAW found{};
            const FindHandle search(exists ? ::FindFirstFileW(prefix.c_str(), &found) : INVALID_HANDLE_VALUE);
            exists = static_cast<bool>(search);
            result += L'\\';
            result += exists ? std::wstring(found.cFileName) : full.substr(level, end - level);
            levels_.push_back(prefix);
            levels_.push_back(result);
        }
        return result;
    }

private:
    std::vector<std::wstring> levels_;  // a prefix as given, then its long spelling
};

// One spelling per folder, for comparing: fully qualified, "." and ".." resolved, long names, no
// final backslash except a drive's, upper case. Nothing when the path cannot be resolved.
std::optional<std::wstring> Canonical(const std::wstring& path, LongNames& longNames)
{
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return std::nullopt;
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return std::nullopt;
    full.resize(length);
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
    full = longNames.Of(full);
    if (full.empty() || full.size() > 0xFFFF) return std::nullopt;
    ::CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    return full;
}

std::vector<std::wstring> KnownFolders()
{
    LongNames longNames;
    std::vector<std::wstring> known;
    for (const int csidl : kKnownFolders) {
        wchar_t path[MAX_PATH] = {};
        if (::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK || path[0] == L'\0')
            continue;
        if (auto canonical = Canonical(path, longNames)) known.push_back(std::move(*canonical));
    }
    // The temporary folder too: emptied by a rollback's walk up, it would be gone for every program.
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    if (length > 0 && length <= MAX_PATH)
        if (auto canonical = Canonical(temp, longNames)) known.push_back(std::move(*canonical));
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
    LongNames longNames;
    const auto canonical = Canonical(*wide, longNames);
    if (!canonical) return false;
    const auto narrow = cp932::FromWide(*canonical);
    if (!narrow || folders::IsRelativePath(*narrow) || folders::IsDriveOrShareRoot(*narrow)) return false;
    for (const std::wstring& k : known) {
        if (k.size() < canonical->size() || k.compare(0, canonical->size(), *canonical) != 0) continue;
        if (k.size() == canonical->size() || k[canonical->size()] == L'\\') return false;
    }
    return true;
}

void ClearReadOnly(const std::wstring& path) noexcept
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        ::SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

void RemoveEmptyFolder(const std::string& folder)
{
    const auto wide = cp932::ToWide(folder);
    if (!wide) return;
    ClearReadOnly(*wide);
    ::RemoveDirectoryW(wide->c_str());
}

bool IsDotEntry(const wchar_t* name) noexcept
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool FolderHasEntriesNoThrow(const std::string& folder)
{
    if (!FitsSystemPath(folder)) return false;
    const auto wide = cp932::ToWide(folder);
    if (!wide) return false;
    WIN32_FIND_DATAW found{};
    const FindHandle search(::FindFirstFileW((*wide + L"\\*.*").c_str(), &found));
    if (!search) return false;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsDotEntry(found.cFileName)) return true;
    } while (::FindNextFileW(search.Get(), &found));
    return false;
}

}  // namespace

bool CreateFolderPath(const std::string& path) noexcept
{
    FolderLevels levels;
    return CreateFolderPath(path, levels);
}

bool CreateFolderPath(const std::string& path, FolderLevels& levels) noexcept
{
    levels = {};
    try {
        if (path.empty() || !FitsSystemPath(path) || folders::EndsInLoneLeadByte(path)) return false;
        const auto widePath = cp932::ToWide(path);
        if (!widePath) return false;
        std::vector<std::string> toCreate = folders::LevelsToCreate(path);
        // Room for every level first: a level made is never left unreported.
        levels.made.reserve(toCreate.size());
        bool made = false;
        for (std::string& level : toCreate) {
            const auto wide = cp932::ToWide(level);
            made = wide && ::CreateDirectoryW(wide->c_str(), nullptr);
            if (made) levels.made.push_back(std::move(level));
        }
        const DWORD attributes = ::GetFileAttributesW(widePath->c_str());
        levels.folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        return made;
    } catch (const std::bad_alloc&) {  // nothing more is created
        return false;
    }
}

void RemoveLevelsMade(const FolderLevels& levels) noexcept
{
    try {
        const std::vector<std::wstring> known = KnownFolders();
        for (auto level = levels.made.rbegin(); level != levels.made.rend(); ++level)
            if (!FolderHasEntriesNoThrow(*level) && MayTouch(*level, known)) RemoveEmptyFolder(*level);
    } catch (const std::bad_alloc&) {  // the levels stay
    }
}

bool FolderHasEntries(const std::string& folder) noexcept
{
    try {
        return FolderHasEntriesNoThrow(folder);
    } catch (const std::bad_alloc&) {
        return false;
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
            const std::wstring file = *wide + L"\\" + name;
            ClearReadOnly(file);
            ::DeleteFileW(file.c_str());
        } while (::FindNextFileW(search.Get(), &found));
    } catch (const std::bad_alloc&) {  // the rest stays
    }
}

void DeleteFileAt(const std::string& path) noexcept
{
    try {
        if (!FitsSystemPath(path)) return;
        if (const auto wide = cp932::ToWide(path)) ::DeleteFileW(wide->c_str());
    } catch (const std::bad_alloc&) {  // the file stays
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
        return installDir.IsLastLevelOf(folder) && MayEmptyOrRemove(folder);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void RemoveFolderAndEmptyParents(const std::string& folder) noexcept
{
    try {
        const std::vector<std::wstring> known = KnownFolders();
        if (FolderHasEntriesNoThrow(folder) || !MayTouch(folder, known)) return;
        // Attempted even when the folder is already gone: its emptied parents still go.
        RemoveEmptyFolder(folder);
        for (const std::string& parent : folders::ParentsToRemove(folder)) {
            if (FolderHasEntriesNoThrow(parent) || !MayTouch(parent, known)) return;
            RemoveEmptyFolder(parent);
        }
    } catch (const std::bad_alloc&) {  // the parents stay
    }
}
