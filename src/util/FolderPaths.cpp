#include "util/FolderPaths.h"

#include "util/Names.h"

namespace folders {

namespace {

bool IsSeparator(char c) noexcept { return c == '\\' || c == '/'; }
bool IsDriveLetter(char c) noexcept { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Length of the text up to the first separator at or after `from`, by whole characters.
size_t NextSeparator(std::string_view path, size_t from) noexcept
{
    size_t i = from;
    while (i < path.size()) {
        const unsigned char b = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(b)) {
            i += 2;
            continue;
        }
        if (IsSeparator(static_cast<char>(b))) return i;
        ++i;
    }
    return path.size();
}

}  // namespace

std::vector<size_t> SeparatorOffsets(std::string_view path)
{
    std::vector<size_t> offsets;
    size_t i = 0;
    while (i < path.size() && offsets.size() < kMaxSeparators) {
        const unsigned char b = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(b)) {
            i += 2;
            continue;
        }
        if (b == '\\') offsets.push_back(i);
        ++i;
    }
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
    while (i < path.size()) {
        if (IsLeadByte(static_cast<unsigned char>(path[i]))) {
            if (i + 1 == path.size()) return true;
            i += 2;
        } else {
            ++i;
        }
    }
    return false;
}

std::vector<std::string> LevelsToCreate(std::string_view path)
{
    std::vector<std::string> levels;
    if (path.empty()) return levels;
    // The first level, up to and including its backslash, is never created; of a \\server\share
    // path neither the server nor the share.
    const bool share = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
    size_t i = share ? 2 : 0;
    for (int skip = share ? 2 : 1; i < path.size();) {
        const unsigned char b = static_cast<unsigned char>(path[i]);
        if (b == '\\') {
            ++i;
            if (--skip == 0) break;
            continue;
        }
        i += IsLeadByte(b) ? 2 : 1;
    }
    for (;;) {
        if (i >= path.size()) {
            levels.push_back(std::string(path));
            return levels;
        }
        const unsigned char b = static_cast<unsigned char>(path[i]);
        if (b == '\\') {
            levels.push_back(std::string(path.substr(0, i)));
            ++i;
        } else {
            i += IsLeadByte(b) ? 2 : 1;
        }
    }
}

bool IsRelativePath(std::string_view path) noexcept
{
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return false;
    return !(path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) &&
           !(path.size() == 2 && IsDriveLetter(path[0]) && path[1] == ':');
}

bool IsDriveOrShareRoot(std::string_view path) noexcept
{
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        if (path.size() >= 3 && (path[2] == '?' || path[2] == '.')) return true;
        const size_t server = NextSeparator(path, 2);
        if (server + 1 >= path.size()) return true;
        const size_t share = NextSeparator(path, server + 1);
        return share + 1 >= path.size();
    }
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':')
        return path.size() == 2 || (path.size() == 3 && IsSeparator(path[2]));
    return false;
}

bool HasStreamColon(std::string_view path) noexcept
{
    size_t i = 0;
    while (i < path.size()) {
        const unsigned char b = static_cast<unsigned char>(path[i]);
        if (b == ':' && !(i == 1 && IsDriveLetter(path[0]))) return true;
        i += IsLeadByte(b) ? 2 : 1;
    }
    return false;
}

}  // namespace folders
