#include "util/Names.h"

#include <algorithm>

namespace {

// Offset just past the last separator that starts a character, or with `colon` the last colon
// too; 0 when there is none.
size_t NameStart(std::string_view path, bool colon) noexcept
{
    size_t start = 0;
    for (size_t i = 0; i < path.size(); i = NextChar(path, i)) {
        const char c = path[i];
        if (IsPathSeparator(c) || (colon && c == ':')) start = i + 1;
    }
    return start;
}

// Offset of the last character of `path`; path.size() for an empty one.
size_t LastCharStart(std::string_view path) noexcept
{
    size_t last = path.size();
    for (size_t i = 0; i < path.size(); i = NextChar(path, i)) last = i;
    return last;
}

// A character that no file name may hold, as a single byte that begins a character.
bool IsForbiddenInName(unsigned char b) noexcept
{
    return b < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(b)) != std::string_view::npos;
}

size_t FileNameStart(std::string_view path) noexcept { return NameStart(path, true); }

std::string_view FileNameView(std::string_view path) noexcept { return path.substr(FileNameStart(path)); }

}  // namespace

bool IsAsciiNameEqual(std::string_view text, std::string_view upper) noexcept
{
    if (text.size() != upper.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != upper[i]) return false;
    }
    return true;
}

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

bool EndsWithSeparator(std::string_view path) noexcept
{
    const size_t last = LastCharStart(path);
    return last < path.size() && IsPathSeparator(path[last]);
}

std::string WithoutFinalSeparator(const std::string& folder)
{
    const size_t last = LastCharStart(folder);
    if (last >= folder.size() || !IsPathSeparator(folder[last])) return folder;
    const char drive = static_cast<char>(folder[0] | 0x20);
    if (last == 2 && folder[1] == ':' && drive >= 'a' && drive <= 'z') return folder;
    return folder.substr(0, last);
}

bool IsDeviceName(std::string_view name) noexcept
{
    // Windows drops an extension or a stream, and trailing spaces, before it compares.
    name = name.substr(0, std::min(name.find_first_of(".:"), name.size()));
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    for (const std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (IsAsciiNameEqual(name, device)) return true;
    return name.size() == 4 &&
           (IsAsciiNameEqual(name.substr(0, 3), "COM") || IsAsciiNameEqual(name.substr(0, 3), "LPT")) && name[3] >= '1' &&
           name[3] <= '9';
}

bool IsDevicePath(std::string_view path) noexcept
{
    return IsDeviceName(path.substr(NameStart(path, false))) || IsDeviceName(FileNameView(path));
}

bool IsFileName(std::string_view name) noexcept
{
    if (name.find_first_not_of(". ") == std::string_view::npos || IsDeviceName(name)) return false;
    for (size_t i = 0, next = 0; i < name.size(); i = next) {
        next = NextValidChar(name, i);
        const unsigned char b = static_cast<unsigned char>(name[i]);
        if (IsLeadByte(b) ? next != i + 2 : IsForbiddenInName(b)) return false;  // half a character, or forbidden
    }
    return true;
}

bool IsFolderName(std::string_view text) noexcept
{
    size_t levelStart = 0;
    for (size_t i = 0; i < text.size(); i = NextValidChar(text, i)) {
        if (text[i] != '\\') continue;
        if (!IsFileName(text.substr(levelStart, i - levelStart))) return false;
        levelStart = i + 1;
    }
    return IsFileName(text.substr(levelStart));
}
