#pragma once
// What a step that can fail gives back: success, or what failed, the path (or registry value) it
// failed on and the system's error code, so that one failure can be told from another in a test or
// a log. Only the windows turn it into words.

#include <windows.h>

#include <string>

enum class Failure : unsigned char {
    None,
    Stopped,       // the player, or the program's end, stopped it
    NoMemory,
    CannotOpen,    // a source that cannot be opened
    CannotRead,    // a file or value that cannot be read
    CannotCreate,  // a file, folder, key or link that cannot be made
    CannotWrite,   // a file or value that cannot be written in full, closed or stamped
    WrongType,     // a registry value that holds no text
    NotCp932,      // a text that code page 932 cannot spell
};

struct Result {
    Failure failure = Failure::None;
    std::string path;
    DWORD code = 0;  // the system's error code; 0 where it gave none

    [[nodiscard]] bool Ok() const noexcept { return failure == Failure::None; }
};

// `failure` at `path`, with the calling thread's last error: call it straight after the failed call.
// Out of line: the many places that fail then build no string of their own.
[[nodiscard]] Result Failed(Failure failure, const std::string& path, DWORD code = ::GetLastError());
