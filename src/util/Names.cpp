#include "util/Names.h"

#include <algorithm>

namespace {

// Offset just past the last separator that starts a character at offset `from` or later: a
// backslash, or with `colon` a colon too; 0 when there is none.
size_t NameStart(std::string_view path, bool colon, size_t from = 0) noexcept
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

size_t FileNameStart(std::string_view path) noexcept { return NameStart(path, true); }

std::string_view FileNameView(std::string_view path) noexcept { return path.substr(FileNameStart(path)); }

}  // namespace

bool IsLeadByte(unsigned char b) noexcept { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool IsTrailByte(unsigned char b) noexcept { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

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

bool IsDeviceName(std::string_view name) noexcept
{
    // Windows drops an extension or a stream, and trailing spaces, before it compares.
    name = name.substr(0, std::min(name.find_first_of(".:"), name.size()));
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    const auto is = [](std::string_view text, std::string_view device) {
        if (text.size() != device.size()) return false;
        for (size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != device[i]) return false;
        }
        return true;
    };
    for (const std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (is(name, device)) return true;
    return name.size() == 4 && (is(name.substr(0, 3), "COM") || is(name.substr(0, 3), "LPT")) && name[3] >= '1' &&
           name[3] <= '9';
}

bool IsDevicePath(std::string_view path) noexcept
{
    return IsDeviceName(path.substr(NameStart(path, false))) || IsDeviceName(FileNameView(path));
}

bool IsInstallDirName(std::string_view installDir) noexcept
{
    const auto usableLevel = [](std::string_view level) {
        return level.find_first_not_of(". ") != std::string_view::npos && !IsDeviceName(level);
    };
    size_t levelStart = 0;
    size_t i = 0;
    while (i < installDir.size()) {
        const unsigned char b = static_cast<unsigned char>(installDir[i]);
        if (IsLeadByte(b)) {
            if (i + 1 >= installDir.size() || !IsTrailByte(static_cast<unsigned char>(installDir[i + 1])))
                return false;
            i += 2;
            continue;
        }
        if (b < 0x20 || std::string_view("<>:\"/|?*").find(static_cast<char>(b)) != std::string_view::npos)
            return false;
        if (b == '\\') {
            if (!usableLevel(installDir.substr(levelStart, i - levelStart))) return false;
            levelStart = i + 1;
        }
        ++i;
    }
    return usableLevel(installDir.substr(levelStart));
}
