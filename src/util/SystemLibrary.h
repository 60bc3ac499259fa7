#pragma once
// DLLs come from the system folder only. A program named Setup.exe is started from folders a player
// does not control (a download folder, a copy on the desktop), and a DLL placed beside it must never
// be loaded. The system's known DLLs are imported as usual, since the system maps those from its own
// folder whatever the search order; every other DLL is loaded here, at first use.

#include <windows.h>
#include <mmsystem.h>

// Limits every later load to the system folder where the system offers it (Windows 8 and later,
// Vista and 7 with their loader update), and loads from the system folder the DLLs that the system's
// own DLLs load later by name. Called before anything else.
void RestrictDllSearch() noexcept;

// `dll` from the system folder and nowhere else; nullptr when it is not there. Every call adds a
// reference, which is never given back: the DLLs stay loaded until the program ends.
[[nodiscard]] HMODULE LoadSystemLibrary(const wchar_t* dll) noexcept;

// Kernel functions newer than the oldest system the program runs on, looked up at each call.
namespace kernel32 {

// GetFinalPathNameByHandleW (Vista and later); 0 with ERROR_CALL_NOT_IMPLEMENTED where it is missing.
[[nodiscard]] DWORD GetFinalPathNameByHandle(HANDLE file, wchar_t* path, DWORD length, DWORD flags) noexcept;

}  // namespace kernel32

// The multimedia functions of the system's winmm.dll, loaded at the first call.
namespace winmm {

// mciSendCommandW; MCIERR_CANNOT_LOAD_DRIVER when winmm.dll does not load.
MCIERROR SendCommand(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameters) noexcept;
// mciGetErrorStringW; FALSE when winmm.dll does not load.
[[nodiscard]] BOOL GetErrorString(MCIERROR code, wchar_t* text, UINT length) noexcept;

}  // namespace winmm
