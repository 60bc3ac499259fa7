// Special folders and shortcut files, read as the shell reads them; folder listings and removal.

#include <shlobj.h>

#include <algorithm>

#include "Driver.h"
#include "util/Cp932.h"

namespace e2e {

std::string SpecialFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return {};
    std::wstring wide(path);
    if (!wide.empty() && wide.back() == L'\\') wide.pop_back();
    return cp932::FromWide(wide).value_or(std::string());
}

std::optional<Shortcut> ReadShortcut(const std::string& link)
{
    const auto wideLink = cp932::ToWide(link);
    if (!wideLink) return std::nullopt;
    const HRESULT com = ::CoInitialize(nullptr);
    std::optional<Shortcut> result;
    IShellLinkW* shellLink = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&shellLink)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(wideLink->c_str(), STGM_READ))) {
                wchar_t text[1024] = {};
                Shortcut shortcut;
                // The item list holds the target's names in UTF-16 whatever the system's code page;
                // the plain path may have been kept in that code page only.
                LPITEMIDLIST items = nullptr;
                if (SUCCEEDED(shellLink->GetIDList(&items)) && items) {
                    if (::SHGetPathFromIDListW(items, text)) shortcut.target = cp932::FromWide(text).value_or("?");
                    ::CoTaskMemFree(items);
                }
                if (shortcut.target.empty() && SUCCEEDED(shellLink->GetPath(text, 1024, nullptr, SLGP_RAWPATH)))
                    shortcut.target = cp932::FromWide(text).value_or("?");
                text[0] = 0;
                if (SUCCEEDED(shellLink->GetWorkingDirectory(text, 1024)))
                    shortcut.workingFolder = cp932::FromWide(text).value_or("?");
                text[0] = 0;
                if (SUCCEEDED(shellLink->GetArguments(text, 1024)))
                    shortcut.arguments = cp932::FromWide(text).value_or("?");
                text[0] = 0;
                if (SUCCEEDED(shellLink->GetDescription(text, 1024)))
                    shortcut.description = cp932::FromWide(text).value_or("?");
                // The show command is the 32-bit field at offset 0x3C of the header.
                FileHandle handle(::CreateFileW(wideLink->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
                DWORD show = 0, got = 0;
                if (handle && ::SetFilePointer(handle.Get(), 0x3C, nullptr, FILE_BEGIN) == 0x3C &&
                    ::ReadFile(handle.Get(), &show, sizeof show, &got, nullptr) && got == sizeof show)
                    shortcut.showCommand = static_cast<int>(show);
                result = shortcut;
            }
            file->Release();
        }
        shellLink->Release();
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return result;
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    FindHandle search(::FindFirstFileW(cp932::ToWideLossy(folder + "\\*").c_str(), &found));
    if (!search) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(cp932::FromWide(found.cFileName).value_or("?"));
    } while (::FindNextFileW(search.Get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAW found{};
    FindHandle search(::FindFirstFileW(cp932::ToWideLossy(folder + "\\*").c_str(), &found));
    if (search) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::string path = folder + "\\" + cp932::FromWideLossy(name);
            const std::wstring widePath = cp932::ToWideLossy(path);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::SetFileAttributesW(widePath.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(widePath.c_str());
            }
        } while (::FindNextFileW(search.Get(), &found));
    }
    search.Reset();
    ::RemoveDirectoryW(cp932::ToWideLossy(folder).c_str());
}

}  // namespace e2e
