#include "util/Shell.h"

#include <shlobj.h>

#include <new>
#include <optional>

#include "util/Cp932.h"
#include "util/Names.h"

namespace {

// COM for the calling thread for the length of one call. A thread already in another apartment
// keeps it: only an initialisation that succeeded is undone.
class ComScope {
public:
    ComScope() noexcept : result_(::CoInitialize(nullptr)) {}
    ~ComScope()
    {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

template <class Interface>
class ComRef {
public:
    ComRef() noexcept = default;
    ~ComRef()
    {
        if (p_) p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface* operator->() const noexcept { return p_; }
    void** Put() noexcept { return reinterpret_cast<void**>(&p_); }

private:
    Interface* p_ = nullptr;
};

bool SaveShortcut(const std::string& link, const std::string& target, const std::string* arguments,
                  const std::string* workingFolder, int showCommand)
{
    const auto wideLink = cp932::ToWide(link);
    const auto wideTarget = cp932::ToWide(target);
    const auto wideArguments = arguments ? cp932::ToWide(*arguments) : std::nullopt;
    const auto wideFolder = workingFolder ? cp932::ToWide(*workingFolder) : std::nullopt;
    if (!wideLink || wideLink->size() >= MAX_PATH || !wideTarget || (arguments && !wideArguments) ||
        (workingFolder && !wideFolder))
        return false;

    ComRef<IShellLinkW> shellLink;
    if (::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shellLink.Put()) != S_OK)
        return false;
    shellLink->SetPath(wideTarget->c_str());
    if (wideArguments) shellLink->SetArguments(wideArguments->c_str());
    if (wideFolder) shellLink->SetWorkingDirectory(wideFolder->c_str());
    shellLink->SetShowCmd(showCommand);

    ComRef<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.Put()))) return false;
    return file->Save(wideLink->c_str(), TRUE) == S_OK;
}

}  // namespace

bool GetSpecialFolderPath(HWND owner, std::string& path, int csidl, bool create) noexcept
{
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(owner, buffer, csidl, create ? TRUE : FALSE)) return false;
    try {
        std::wstring wide(buffer);
        if (!wide.empty() && wide.back() == L'\\') wide.pop_back();
        auto bytes = cp932::FromWide(wide);
        if (!bytes || !FitsSystemPath(*bytes)) return false;
        path = std::move(*bytes);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool CreateShortcut(const std::string& link, const std::string& target, const std::string* arguments,
                    const std::string* workingFolder, int showCommand) noexcept
{
    const ComScope com;
    try {
        return SaveShortcut(link, target, arguments, workingFolder, showCommand);
    } catch (const std::bad_alloc&) {
        return false;
    }
}
