#include "util/FolderPaths.h"

#include "util/Names.h"

namespace folders {

namespace {

bool IsDriveLetter(char c) noexcept { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Length of the text up to the first separator at or after `from`, by whole characters.
size_t NextSeparator(std::string_view path, size_t from) noexcept
{
    for (size_t i = from; i < path.size(); i = NextChar(path, i))
        if (IsPathSeparator(path[i])) return i;
    return path.size();
}

}  // namespace

std::vector<size_t> SeparatorOffsets(std::string_view path)
{
    std::vector<size_t> offsets;
    for (size_t i = 0; i < path.size() && offsets.size() < kMaxSeparators; i = NextChar(path, i))
        if (IsPathSeparator(path[i])) offsets.push_back(i);
    return offsets;
}

std::vector<std::string> ParentsToRemove(std::string_view path)
{
    const std::vector<size_t> offsets = SeparatorOffsets(path);
    std::vector<std::string> parents;
    for (size_t n = offsets.size(); n-- > 1;) parents.push_back(std::string(path.substr(0, offsets[n])));
    return parents;
}

bool EndsInLoneLeadByte(std::string_view path) noexcept
{
    size_t i = 0;
    while (i < path.size()) i = NextChar(path, i);
    return i > path.size();
}

std::vector<std::string> LevelsToCreate(std::string_view path)
{
    std::vector<std::string> levels;
    if (path.empty()) return levels;
    // The first level, up to and including its backslash, is never created; of a \\server\share
    // path neither the server nor the share.
    const bool share = path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]);
    size_t i = share ? 2 : 0;
    for (int skip = share ? 2 : 1; i < path.size();) {
        const bool separator = IsPathSeparator(path[i]);
        i = NextChar(path, i);
        if (separator && --skip == 0) break;
    }
    for (; i < path.size(); i = NextChar(path, i))
        if (IsPathSeparator(path[i])) levels.push_back(std::string(path.substr(0, i)));
    levels.push_back(std::string(path));
    return levels;
}

bool IsRelativePath(std::string_view path) noexcept
{
    if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) return false;
    return !(path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsPathSeparator(path[2])) &&
           !(path.size() == 2 && IsDriveLetter(path[0]) && path[1] == ':');
}

bool IsDriveOrShareRoot(std::string_view path) noexcept
{
    if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
        if (path.size() >= 3 && (path[2] == '?' || path[2] == '.')) return true;
        const size_t server = NextSeparator(path, 2);
        if (server + 1 >= path.size()) return true;
        const size_t share = NextSeparator(path, server + 1);
        return share + 1 >= path.size();
    }
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':')
        return path.size() == 2 || (path.size() == 3 && IsPathSeparator(path[2]));
    return false;
}

bool HasStreamColon(std::string_view path) noexcept
{
    for (size_t i = 0; i < path.size(); i = NextChar(path, i))
        if (path[i] == ':' && !(i == 1 && IsDriveLetter(path[0]))) return true;
    return false;
}

}  // namespace folders
