#include "util/Names.h"

namespace {

// Offset just past the last separator that starts a character at offset `from` or later: a
// backslash, or with `colon` a colon too; 0 when there is none.
size_t NameStart(const std::string& path, bool colon, size_t from = 0) noexcept
{
    size_t start = 0;
    size_t i = 0;
    while (i < path.size()) {
        const unsigned char b = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(b)) {
            i += 2;
            continue;
        }
        if (i >= from && (b == '\\' || (colon && b == ':'))) start = i + 1;
        ++i;
    }
    return start;
}

size_t FileNameStart(const std::string& path) noexcept { return NameStart(path, true); }

}  // namespace

bool IsLeadByte(unsigned char b) noexcept { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

std::string FileNamePart(const std::string& path) { return path.substr(FileNameStart(path)); }

std::string StoredName(const std::string& entry)
{
    // Whole characters, so that data\ソフト.txt is stored as ソフト.txt; the first byte never counts
    // as a separator, so an entry whose only backslash leads keeps it.
    return entry.substr(NameStart(entry, false, 1));
}

std::string Extension(const std::string& path)
{
    size_t dot = std::string::npos;
    size_t i = FileNameStart(path);
    while (i < path.size()) {
        const unsigned char b = static_cast<unsigned char>(path[i]);
        if (b == '.') dot = i;
        i += IsLeadByte(b) ? 2 : 1;
    }
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string LowerAscii(std::string_view text)
{
    std::string lowered(text);
    for (size_t i = 0; i < lowered.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(lowered[i]);
        if (IsLeadByte(b))
            ++i;
        else if (b >= 'A' && b <= 'Z')
            lowered[i] = static_cast<char>(b - 'A' + 'a');
    }
    return lowered;
}

bool IsSoundEntry(const std::string& entry)
{
    return LowerAscii(std::string_view(entry).substr(FileNameStart(entry), 3)) == "wav";
}

bool EndsWithBackslash(const std::string& path) noexcept
{
    bool last = false;
    size_t i = 0;
    while (i < path.size()) {
        const unsigned char b = static_cast<unsigned char>(path[i]);
        last = b == '\\';
        i += IsLeadByte(b) ? 2 : 1;
    }
    return last;
}

std::string WithoutTrailingBackslash(const std::string& folder)
{
    if (folder.empty() || folder.back() != '\\') return folder;
    // Only the one byte before is looked at: after a lead byte the 0x5C is that character's second byte.
    if (folder.size() >= 2 && IsLeadByte(static_cast<unsigned char>(folder[folder.size() - 2]))) return folder;
    return folder.substr(0, folder.size() - 1);
}

std::string GameWorkingFolder(const std::string& installedDir)
{
    const size_t n = installedDir.size();
    if (n >= 1 && installedDir[n - 1] == '\\' && (n == 1 || installedDir[n - 2] != '\\'))
        return installedDir.substr(0, n - 1);
    return installedDir;
}
