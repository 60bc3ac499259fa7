#include "setup/IniReader.h"

#include "util/Names.h"

namespace setup {

// Characters are walked with NextValidChar, not the path rules' NextChar: a lead byte before an
// invalid second byte is one byte here, so that a broken pair never hides the '=' or ']' after it.

namespace {

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }

// Blanks are single bytes below every trail byte, so both ends can be trimmed bytewise.
std::string_view Trim(std::string_view text) noexcept
{
    size_t begin = 0;
    while (begin < text.size() && IsBlank(text[begin])) ++begin;
    size_t end = text.size();
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Offset of the first `c` that begins a character; npos when there is none.
size_t FindChar(std::string_view text, char c) noexcept
{
    for (size_t i = 0; i < text.size(); i = NextValidChar(text, i)) {
        if (text[i] == c) return i;
    }
    return std::string_view::npos;
}

// At most kMaxValueBytes bytes, cut before a character that would not fit whole.
std::string_view Limit(std::string_view text) noexcept
{
    if (text.size() <= IniReader::kMaxValueBytes) return text;
    size_t end = 0;
    while (end < text.size()) {
        const size_t next = NextValidChar(text, end);
        if (next > IniReader::kMaxValueBytes) break;
        end = next;
    }
    return text.substr(0, end);
}

std::string_view Unquote(std::string_view value) noexcept
{
    // Quotes are single bytes below every trail byte: the last byte is never half a character.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

int DigitValue(char c, bool hex) noexcept
{
    if (c >= '0' && c <= '9') return c - '0';
    if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

IniReader::IniReader(std::string_view bytes)
{
    Keys* current = nullptr;  // null before the first section and inside a repeated one
    size_t pos = 0;
    while (pos < bytes.size()) {
        // CR and LF are never trail bytes, so lines split bytewise.
        size_t end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        const std::string_view line = Trim(bytes.substr(pos, end - pos));
        pos = end;
        if (pos < bytes.size() && bytes[pos] == '\r') ++pos;
        if (pos < bytes.size() && bytes[pos] == '\n') ++pos;

        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::string_view inside = line.substr(1);
            const size_t close = FindChar(inside, ']');
            if (close == std::string_view::npos) continue;
            // The first section of a name wins; a later one of the same name is not read at all.
            auto [it, added] = sections_.try_emplace(LowerAscii(Trim(inside.substr(0, close))));
            current = added ? &it->second : nullptr;
            continue;
        }
        if (current == nullptr) continue;
        const size_t equals = FindChar(line, '=');
        if (equals == std::string_view::npos) continue;
        // A zero byte ends the value, as it ends the text the system's profile reader hands back.
        std::string_view value = line.substr(equals + 1);
        value = Limit(Unquote(Trim(value.substr(0, value.find('\0')))));
        current->try_emplace(LowerAscii(Trim(line.substr(0, equals))), value);
    }
}

const std::string* IniReader::Find(std::string_view section, std::string_view key) const
{
    const auto s = sections_.find(LowerAscii(section));
    if (s == sections_.end()) return nullptr;
    const auto k = s->second.find(LowerAscii(key));
    return k == s->second.end() ? nullptr : &k->second;
}

std::string IniReader::ReadString(std::string_view section, std::string_view key,
                                  std::string_view defaultValue) const
{
    if (const std::string* value = Find(section, key)) return *value;
    return std::string(Limit(defaultValue));
}

int32_t IniReader::ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const
{
    if (const std::string* value = Find(section, key)) return ToInteger(*value);
    return defaultValue;
}

int32_t IniReader::ToInteger(std::string_view text) noexcept
{
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    const bool hex = text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (hex) text.remove_prefix(2);
    if (text.empty()) return 0;

    const int64_t limit = negative ? INT64_C(2147483648) : INT64_C(2147483647);
    const int base = hex ? 16 : 10;
    int64_t magnitude = 0;
    for (const char c : text) {
        const int digit = DigitValue(c, hex);
        if (digit < 0) return 0;
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return 0;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace setup
