#pragma once
// The name rules written a second time, on whole UTF-16 characters: what the program's byte rules
// over code-page-932 text must agree with. Deliberately plain and independent of src/util: a rule
// here reads a path the way a person reads it, one character at a time.

#include <optional>
#include <string>
#include <vector>

namespace reference {

inline bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

inline std::wstring FileNamePart(const std::wstring& path)
{
    const size_t last = path.find_last_of(L"\\/:");
    return last == std::wstring::npos ? path : path.substr(last + 1);
}

inline bool IsDeviceName(std::wstring name)
{
    name = name.substr(0, name.find_first_of(L".:"));
    while (!name.empty() && name.back() == L' ') name.pop_back();
    for (wchar_t& c : name)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (name == device) return true;
    return name.size() == 4 && (name.compare(0, 3, L"COM") == 0 || name.compare(0, 3, L"LPT") == 0) &&
           name[3] >= L'1' && name[3] <= L'9';
}

inline bool IsFileName(const std::wstring& name)
{
    if (name.find_first_not_of(L". ") == std::wstring::npos || IsDeviceName(name)) return false;
    for (const wchar_t c : name)
        if (c < 0x20 || std::wstring(L"\\/:*?\"<>|").find(c) != std::wstring::npos) return false;
    return true;
}

inline std::wstring StoredName(const std::wstring& entry)
{
    const std::wstring name = FileNamePart(entry);
    return IsFileName(name) ? name : std::wstring();
}

inline std::wstring Extension(const std::wstring& path)
{
    const std::wstring name = FileNamePart(path);
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(dot);
}

inline std::wstring LowerAscii(std::wstring text)
{
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

inline bool EndsWithSeparator(const std::wstring& path) { return !path.empty() && IsSeparator(path.back()); }

inline std::wstring WithoutFinalSeparator(const std::wstring& folder)
{
    const bool driveRoot = folder.size() == 3 && folder[1] == L':' &&
                           ((folder[0] >= L'A' && folder[0] <= L'Z') || (folder[0] >= L'a' && folder[0] <= L'z'));
    if (!EndsWithSeparator(folder) || driveRoot) return folder;
    return folder.substr(0, folder.size() - 1);
}

inline bool IsFolderName(const std::wstring& text)
{
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L'\\', start);
        if (!IsFileName(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start))) return false;
        if (end == std::wstring::npos) return true;
        start = end + 1;
    }
}

// The game's folder bears the last level of InstallDir, exactly.
inline bool IsLastLevelOf(const std::wstring& installDir, const std::wstring& folder)
{
    return FileNamePart(folder) == FileNamePart(installDir);
}

// Each character no file name may hold becomes its full-width form (U+FF01..U+FF5E).
inline std::optional<std::wstring> ShortcutFileName(std::wstring name)
{
    for (wchar_t& c : name)
        if (std::wstring(L"\\/:*?\"<>|").find(c) != std::wstring::npos) c = static_cast<wchar_t>(c + 0xFEE0);
    if (!IsFileName(name)) return std::nullopt;
    return name;
}

// The enclosing folders a removal tries: the path cut before each separator but the first,
// innermost first.
inline std::vector<std::wstring> ParentsToRemove(const std::wstring& path)
{
    std::vector<size_t> separators;
    for (size_t i = 0; i < path.size(); ++i)
        if (IsSeparator(path[i])) separators.push_back(i);
    std::vector<std::wstring> parents;
    for (size_t n = separators.size(); n-- > 1;) parents.push_back(path.substr(0, separators[n]));
    return parents;
}

}  // namespace reference
