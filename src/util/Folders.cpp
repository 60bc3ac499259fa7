#include "util/Folders.h"

#include <windows.h>

#include <new>
#include <optional>
#include <vector>

#include "util/Cp932.h"
#include "util/File.h"
#include "util/FolderPaths.h"
#include "util/Handles.h"
#include "util/Names.h"
#include "util/SystemLibrary.h"

namespace {

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

bool IsDotEntry(const wchar_t* name) noexcept
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool FolderHasEntriesNoThrow(const std::string& folder, bool filesOnly)
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

std::wstring LongNames::Of(const std::wstring& full)
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


std::optional<std::wstring> CanonicalPath(const std::wstring& path, LongNames& longNames)
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

std::optional<std::wstring> ResolvedPath(const std::wstring& path)
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

void ClearReadOnly(const std::wstring& path) noexcept
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        ::SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

std::wstring UpperPath(std::wstring text)
{
    if (!text.empty() && text.size() <= 0xFFFF) ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

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
            const auto folder = ResolvedPath(file.substr(0, slash));
            if (!folder || UpperPath(*finalPath) != UpperPath(*folder + file.substr(slash))) return;
        } else if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
            return;
        }
    }
    if (clearReadOnly) ClearReadOnly(file);
    ::DeleteFileW(file.c_str());
}

void RemoveEmptyFolder(const std::string& folder) noexcept
{
    try {
        const auto wide = cp932::ToWide(folder);
        if (!wide) return;
        ClearReadOnly(*wide);
        ::RemoveDirectoryW(wide->c_str());
    } catch (const std::bad_alloc&) {  // the folder stays
    }
}

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

bool FolderHasEntries(const std::string& folder) noexcept
{
    try {
        return FolderHasEntriesNoThrow(folder, false);
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

