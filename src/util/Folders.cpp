#include "util/Folders.h"

#include <windows.h>
#include <shlobj.h>

#include <new>
#include <optional>
#include <vector>

#include "util/Cp932.h"
#include "util/File.h"
#include "util/FolderPaths.h"
#include "util/Handles.h"
#include "util/Names.h"
#include "util/Registry.h"
#include "util/SystemLibrary.h"

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

// The full path that the system gives for an open handle, in the form the rest of the program
// writes (C:\..., \\server\share\...); nothing when it has none or the call is missing.
std::optional<std::wstring> FinalPathOf(HANDLE handle)
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = kernel32::GetFinalPathNameByHandle(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    if (length >= path.size()) {  // the size it needs, its terminating zero included
        path.assign(length, L'\0');
        length = kernel32::GetFinalPathNameByHandle(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    }
    if (length == 0 || length >= path.size()) return std::nullopt;
    path.resize(length);
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\" + path.substr(7);
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
    return path;
}

// Where `path` leads once every link and junction on the way is followed: the path itself when
// nothing is there; nothing when something is there but where it leads cannot be told. A system
// without the final-path call (before Vista) has junctions only, and such a folder is not followed.
std::optional<std::wstring> Resolve(const std::wstring& path)
{
    const FileHandle handle(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return path;
        return std::nullopt;
    }
    if (auto finalPath = FinalPathOf(handle.Get())) return finalPath;
    if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return std::nullopt;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return std::nullopt;
    return path;
}

// A folder of the registry's 64-bit view. A 32-bit program is told the 32-bit Program Files folder
// for both Program Files folders, but a game may still be installed in the other one.
std::optional<std::wstring> NativeFolder(CRegistry& registry, const char* name)
{
    const RegistryText value = registry.ReadString(name);
    if (!value.error.empty() || value.text.empty()) return std::nullopt;
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
        if (auto canonical = Canonical(path, longNames)) known.push_back(std::move(*canonical));
        if (const auto resolved = Resolve(path))
            if (auto canonical = Canonical(*resolved, longNames)) known.push_back(std::move(*canonical));
    }
    return known;
}

void ClearReadOnly(const std::wstring& path) noexcept
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        ::SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
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
    const auto resolved = Resolve(*wide);
    if (!resolved) return false;
    LongNames longNames;
    for (const std::wstring* path : {&*wide, &*resolved}) {
        const auto canonical = Canonical(*path, longNames);
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

std::wstring Upper(std::wstring text)
{
    if (!text.empty() && text.size() <= 0xFFFF) ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Deletes the file `file` only as itself. Where the system follows a link when it deletes (Wine
// deletes a Unix symlink's target), an entry that leads elsewhere is left in place; a link that the
// system opens as itself (Windows) leads nowhere else and goes as a link.
void DeleteAsItself(const std::wstring& file, bool clearReadOnly)
{
    {
        const FileHandle handle(::CreateFileW(file.c_str(), FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                              nullptr));
        if (!handle) return;
        const auto finalPath = FinalPathOf(handle.Get());
        if (finalPath) {
            const size_t slash = file.rfind(L'\\');
            if (slash == std::wstring::npos) return;
            const auto folder = Resolve(file.substr(0, slash));
            if (!folder || Upper(*finalPath) != Upper(*folder + file.substr(slash))) return;
        } else if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
            return;
        }
    }
    if (clearReadOnly) ClearReadOnly(file);
    ::DeleteFileW(file.c_str());
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

bool FolderHasEntriesNoThrow(const std::string& folder, bool filesOnly = false)
{
    if (!FitsSystemPath(folder)) return false;
    const auto wide = cp932::ToWide(folder);
    if (!wide) return false;
    WIN32_FIND_DATAW found{};
    const FindHandle search(::FindFirstFileW((*wide + L"\\*.*").c_str(), &found));
    if (!search) return false;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
        if (!filesOnly && !IsDotEntry(found.cFileName)) return true;
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
        if (path.empty() || !FitsSystemPath(path) || folders::EndsInLoneLeadByte(path) || !cp932::ToWide(path))
            return false;
        std::vector<std::string> toCreate = folders::LevelsToCreate(path);
        // Room for every level first: a level made is never left unreported.
        levels.made.reserve(toCreate.size());
        bool made = false;
        for (std::string& level : toCreate) {
            const auto wide = cp932::ToWide(level);
            made = wide && ::CreateDirectoryW(wide->c_str(), nullptr);
            if (made) levels.made.push_back(std::move(level));
        }
        const auto attributes = AttributesAt(path);
        levels.folder = attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY);
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

bool FolderHoldsFiles(const std::string& folder) noexcept
{
    try {
        return FolderHasEntriesNoThrow(folder, true);
    } catch (const std::bad_alloc&) {
        return true;
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

void DeleteFileAt(const std::string& path) noexcept
{
    try {
        if (!FitsSystemPath(path) || IsDevicePath(path)) return;
        if (const auto wide = cp932::ToWide(path)) DeleteAsItself(*wide, false);
    } catch (const std::bad_alloc&) {  // the file stays
    }
}

bool PathExists(const std::string& path, bool filesOnly) noexcept
{
    try {
        const auto wide = FitsSystemPath(path) && !IsDevicePath(path) ? cp932::ToWide(path) : std::nullopt;
        if (!wide) return false;
        const DWORD attributes = ::GetFileAttributesW(wide->c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) return !filesOnly || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        const DWORD error = ::GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    } catch (const std::bad_alloc&) {
        return true;
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
        const auto resolved = wide ? Resolve(*wide) : std::nullopt;
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
        if (FolderHasEntriesNoThrow(folder) || !MayTouch(folder, known)) return;
        // A folder that is a link: first the folder it leads to, then the link itself (Windows
        // removes a link as a link; Wine, which follows it, has by then nothing left to remove).
        const auto wide = cp932::ToWide(folder);
        const auto resolved = wide ? Resolve(*wide) : std::nullopt;
        if (resolved && Upper(*resolved) != Upper(*wide)) {
            ClearReadOnly(*resolved);
            ::RemoveDirectoryW(resolved->c_str());
        }
        // Attempted even when the folder is already gone: its emptied parents still go.
        RemoveEmptyFolder(folder);
        for (const std::string& parent : folders::ParentsToRemove(folder)) {
            if (FolderHasEntriesNoThrow(parent) || !MayTouch(parent, known)) return;
            // An emptied parent that is a link stays: Wine would remove the folder it leads to.
            const auto attributes = AttributesAt(parent);
            if (attributes && (*attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return;
            RemoveEmptyFolder(parent);
        }
    } catch (const std::bad_alloc&) {  // the parents stay
    }
}
