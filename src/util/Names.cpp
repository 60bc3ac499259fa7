#include "util/Names.h"

#include <algorithm>

namespace {

// Offset just past the last separator that starts a character at offset `from` or later: a
// backslash, or with `colon` a colon too; 0 when there is none.
size_t NameStart(std::string_view path, bool colon, size_t from = 0) noexcept
{
    size_t start = 0;
    for (size_t i = 0; i < path.size(); i = NextChar(path, i)) {
        const char c = path[i];
        if (i >= from && (c == '\\' || (colon && c == ':'))) start = i + 1;
    }
    return start;
}

size_t FileNameStart(std::string_view path) noexcept { return NameStart(path, true); }

std::string_view FileNameView(std::string_view path) noexcept { return path.substr(FileNameStart(path)); }

}  // namespace

bool IsLeadByte(unsigned char b) noexcept { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool IsTrailByte(unsigned char b) noexcept { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

size_t NextChar(std::string_view text, size_t i) noexcept
{
    return IsLeadByte(static_cast<unsigned char>(text[i])) ? i + 2 : i + 1;
}

size_t NextValidChar(std::string_view text, size_t i) noexcept
{
    const size_t next = NextChar(text, i);
    if (next == i + 2 && next <= text.size() && IsTrailByte(static_cast<unsigned char>(text[i + 1]))) return next;
    return i + 1;
}

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
    for (size_t i = FileNameStart(path); i < path.size(); i = NextChar(path, i))
        if (path[i] == '.') dot = i;
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string LowerAscii(std::string_view text)
{
    std::string lowered(text);
    for (size_t i = 0; i < lowered.size(); i = NextChar(lowered, i)) {
        const char c = lowered[i];
        if (c >= 'A' && c <= 'Z') lowered[i] = static_cast<char>(c - 'A' + 'a');
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
    for (size_t i = 0; i < path.size(); i = NextChar(path, i)) last = path[i] == '\\';
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
    for (size_t i = 0, next = 0; i < installDir.size(); i = next) {
        next = NextValidChar(installDir, i);
        const unsigned char b = static_cast<unsigned char>(installDir[i]);
        if (IsLeadByte(b)) {
            if (next != i + 2) return false;  // half a character
            continue;
        }
        if (b < 0x20 || std::string_view("<>:\"/|?*").find(static_cast<char>(b)) != std::string_view::npos)
            return false;
        if (b == '\\') {
            if (!usableLevel(installDir.substr(levelStart, i - levelStart))) return false;
            levelStart = i + 1;
        }
    }
    return usableLevel(installDir.substr(levelStart));
}

std::string IniPathFor(const std::string& programPath)
{
    return programPath.substr(0, programPath.size() - Extension(programPath).size()) + ".ini";
}
