#include "util/SystemLibrary.h"

#include <new>
#include <string>

namespace {

// An exported function of `module` as the type `F`; nullptr when either is missing.
template <typename F>
F Proc(HMODULE module, const char* name) noexcept
{
    if (!module) return nullptr;
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

struct WinmmFunctions {
    decltype(&::mciSendCommandW) sendCommand = nullptr;
    decltype(&::mciGetErrorStringW) getErrorString = nullptr;
};

// Loaded on first use, without a thread-safe guard: the media calls come from the window's thread.
WinmmFunctions winmm;
bool winmmLoaded = false;

const WinmmFunctions& Winmm() noexcept
{
    if (!winmmLoaded) {
        winmmLoaded = true;
        const HMODULE module = LoadSystemLibrary(L"winmm.dll");
        winmm.sendCommand = Proc<decltype(winmm.sendCommand)>(module, "mciSendCommandW");
        winmm.getErrorString = Proc<decltype(winmm.getErrorString)>(module, "mciGetErrorStringW");
    }
    return winmm;
}

}  // namespace

void RestrictDllSearch() noexcept
{
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    // Looked up rather than imported: the program also runs where it does not exist.
    if (const auto setDefault = Proc<BOOL(WINAPI*)(DWORD)>(kernel, "SetDefaultDllDirectories"))
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The common controls load their theme DLL by name at first use, and not every loader keeps to
    // the restriction for it (Wine takes one beside the program): loaded now from the system folder,
    // it is the one they are given.
    (void)LoadSystemLibrary(L"uxtheme.dll");
}

HMODULE LoadSystemLibrary(const wchar_t* dll) noexcept
{
    if (const HMODULE module = ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    // A loader without the search flags refuses them; the full path of the system folder's copy does
    // the same there, and the DLLs that one imports are then looked for beside it first.
    if (::GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    try {
        std::wstring path(folder, length);
        path += L'\\';
        path += dll;
        return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

namespace kernel32 {

DWORD GetFinalPathNameByHandle(HANDLE file, wchar_t* path, DWORD length, DWORD flags) noexcept
{
    using Function = DWORD(WINAPI*)(HANDLE, wchar_t*, DWORD, DWORD);
    if (const auto get = Proc<Function>(::GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW"))
        return get(file, path, length, flags);
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
}

}  // namespace kernel32

namespace winmm {

MCIERROR SendCommand(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameters) noexcept
{
    const auto send = Winmm().sendCommand;
    return send ? send(device, message, flags, parameters) : MCIERR_CANNOT_LOAD_DRIVER;
}

BOOL GetErrorString(MCIERROR code, wchar_t* text, UINT length) noexcept
{
    const auto get = Winmm().getErrorString;
    return get ? get(code, text, length) : FALSE;
}

}  // namespace winmm
