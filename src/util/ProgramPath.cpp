#include "util/ProgramPath.h"

#include <windows.h>

#include <vector>

#include "util/Cp932.h"
#include "util/Names.h"

std::string ProgramPath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) return cp932::FromWide(buffer.data(), length).value_or(std::string());
        if (buffer.size() >= 32768) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::string ProgramFolder()
{
    const std::string path = ProgramPath();
    return path.substr(0, path.size() - FileNamePart(path).size());
}

std::string WindowsFolder()
{
    wchar_t buffer[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    return cp932::FromWide(buffer, length).value_or(std::string());
}
