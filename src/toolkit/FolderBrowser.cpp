#include "toolkit/FolderBrowser.h"

#include <shlobj.h>

#include <optional>

#include "toolkit/Person.h"
#include "util/Cp932.h"
#include "util/Names.h"

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) noexcept
{
    if (message == BFFM_INITIALIZED && data) ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

FolderChoice ChooseFolder(HWND owner, const std::string& prompt, const std::string& initialFolder,
                          std::string& chosen)
{
    std::optional<std::string> picked;
    if (ScriptedPerson* person = GetScriptedPerson()) {
        auto answer = person->AnswerFolderBrowser(owner, prompt, initialFolder);
        if (!answer) return FolderChoice::Cancelled;
        picked = std::move(answer);
    } else {
        const std::wstring widePrompt = cp932::ToWideLossy(prompt);
        // A folder text that is not valid code page 932 cannot name a folder: open without a selection.
        const auto wideInitial = cp932::ToWide(initialFolder);
        wchar_t displayName[MAX_PATH] = {};
        BROWSEINFOW info{};
        info.hwndOwner = owner;
        info.pidlRoot = nullptr;
        info.pszDisplayName = displayName;
        info.lpszTitle = widePrompt.c_str();
        info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
        info.lpfn = BrowseCallback;
        info.lParam = wideInitial ? reinterpret_cast<LPARAM>(wideInitial->c_str()) : 0;
        info.iImage = 0;

        LPITEMIDLIST items = ::SHBrowseForFolderW(&info);
        if (!items) return FolderChoice::Cancelled;
        // A folder whose path does not fit the buffer has none to give.
        wchar_t path[MAX_PATH] = {};
        const BOOL hasPath = ::SHGetPathFromIDListW(items, path);
        ::CoTaskMemFree(items);
        if (hasPath) picked = cp932::FromWide(std::wstring(path));
    }
    if (!picked || !FitsSystemPath(*picked)) return FolderChoice::Unusable;
    chosen = std::move(*picked);
    return FolderChoice::Chosen;
}
