#pragma once
// The system handle kinds the program owns, each a UniqueHandle.

#include <windows.h>
#include <mmsystem.h>

#include "util/SystemLibrary.h"
#include "util/UniqueHandle.h"

struct KernelHandleTraits {  // mutexes, processes; null means none
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::FindClose(h); }
};
struct RegKeyTraits {
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::RegCloseKey(h); }
};
struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DeleteObject(h); }
};
struct IconTraits {
    using Type = HICON;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DestroyIcon(h); }
};
struct EnhMetaFileTraits {
    using Type = HENHMETAFILE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DeleteEnhMetaFile(h); }
};
struct MemoryDcTraits {  // from CreateCompatibleDC
    using Type = HDC;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DeleteDC(h); }
};
struct MciDeviceTraits {
    using Type = MCIDEVICEID;
    static Type Invalid() noexcept { return 0; }
    static void Close(Type id) noexcept { winmm::SendCommand(id, MCI_CLOSE, MCI_WAIT, 0); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using RegKey = UniqueHandle<RegKeyTraits>;
using GdiObject = UniqueHandle<GdiObjectTraits>;
using IconHandle = UniqueHandle<IconTraits>;
using EnhMetaFile = UniqueHandle<EnhMetaFileTraits>;
using MemoryDc = UniqueHandle<MemoryDcTraits>;
using MciDevice = UniqueHandle<MciDeviceTraits>;
