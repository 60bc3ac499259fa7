#pragma once
// CFile: the owner of one file handle, with results instead of messages. Times are exchanged in
// packed local form: date = year*10000 + month*100 + day, time = hour*10000 + minute*100 + second.

#include <windows.h>

#include <optional>
#include <string>

#include "util/Handles.h"

class CFile {
public:
    CFile() noexcept = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // `access` is GENERIC_READ (the file must exist; other readers allowed) or GENERIC_WRITE (created
    // or emptied, held alone). Closes what was open first; a path over 259 bytes is refused.
    [[nodiscard]] bool Open(const std::string& path, DWORD access) noexcept;
    // For writing as a new file only: false when anything bears the name already.
    [[nodiscard]] bool OpenNew(const std::string& path) noexcept;
    // True when an open handle was closed.
    bool Close() noexcept;
    [[nodiscard]] bool IsOpen() const noexcept { return handle_.Valid(); }

    // One system call each; the count transferred, 0 when closed or on failure.
    [[nodiscard]] DWORD Read(void* buffer, DWORD count) noexcept;
    [[nodiscard]] DWORD Write(const void* buffer, DWORD count) noexcept;
    // Low 32 bits of the size; 0 when closed or on failure.
    [[nodiscard]] DWORD Size() const noexcept;
    [[nodiscard]] std::optional<unsigned long long> Size64() const noexcept;

    // Last-write time in packed local form; both outputs are 0 unless it succeeds.
    [[nodiscard]] bool GetTime(int& date, int& time) const noexcept;
    // Sets creation, last-access and last-write time from packed local values.
    [[nodiscard]] bool SetTime(int date, int time) noexcept;
    // Sets all three times to `source`'s last-write time in whole seconds: the stamp that
    // SetTime(source.GetTime()) gives, without the two local-time conversions, each of which costs a
    // time-zone lookup under Wine (most of the time a small file's copy takes).
    [[nodiscard]] bool StampFrom(const CFile& source) noexcept;

    // Free bytes available to the caller on `drive` (such as "C:"), in whole MiB; 0 on failure.
    [[nodiscard]] static unsigned FreeMegabytes(const std::string& drive) noexcept;

private:
    bool OpenAs(const std::string& path, DWORD access, bool replace) noexcept;

    FileHandle handle_;
};

// The attributes of what is at `path` (file or folder); nothing when there is nothing there, or the
// path cannot be asked about.
[[nodiscard]] std::optional<DWORD> AttributesAt(const std::string& path) noexcept;

// Renames the file or folder `from` to `to`, never replacing anything: false when something bears the
// name `to` already, or the rename fails.
[[nodiscard]] bool RenameAt(const std::string& from, const std::string& to) noexcept;

// Whether `path` opens for reading through CFile, which refuses devices and pipes. Asked before a
// path goes to a system call that opens the file itself (a picture, a movie), so that a name such
// as COM1.bmp never reaches a device.
[[nodiscard]] bool IsDiskFile(const std::string& path) noexcept;

// The whole file, or nothing when it cannot be opened or read, or holds more than `maxBytes`.
[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::string& path, unsigned long long maxBytes);

