#pragma once
// CRegistry: one root key, at most one open key under it, string values, with results instead of
// messages. Paths and names are code-page-932 texts; nested paths are written "Software\\A\\B".

#include <windows.h>

#include <string>

#include "util/Handles.h"
#include "util/Result.h"

// A string value as read: its text, or why it cannot be used (the value's name as the path).
struct RegistryText {
    std::string text;
    Result status;
};

class CRegistry {
public:
    explicit CRegistry(HKEY root = HKEY_CURRENT_USER) noexcept : root_(root) {}

    // Closes the open key, if any: paths that follow are under `root`.
    void SetRoot(HKEY root) noexcept;
    [[nodiscard]] HKEY Root() const noexcept { return root_; }

    // Opens an existing key for reading; never creates it. False when it does not open. `view` may
    // be KEY_WOW64_64KEY: a 32-bit program then reads what 64-bit programs read.
    [[nodiscard]] bool OpenKeyReadOnly(const std::string& path, REGSAM view = 0);
    // Opens a key for reading and writing; with `create`, missing levels are created on the way.
    [[nodiscard]] bool OpenKey(const std::string& path, bool create);
    void CloseKey() noexcept;
    [[nodiscard]] bool KeyOpen() const noexcept { return key_.Valid(); }

    // The string value `name` of the open key: "" when it (or the open key) is missing; the text up
    // to its first zero character, unexpanded, for REG_SZ and REG_EXPAND_SZ of any size (an odd
    // last byte is dropped). WrongType for another type, NotCp932 for a name or text without a
    // code-page-932 form, CannotRead with the system's code for a value that cannot be read.
    [[nodiscard]] RegistryText ReadString(const std::string& name) const;
    // Writes a REG_SZ value into the open key; false when it cannot.
    [[nodiscard]] bool WriteString(const std::string& name, const std::string& value);
    // Writes a REG_DWORD value into the open key; false when it cannot.
    [[nodiscard]] bool WriteDword(const std::string& name, DWORD value);

    // Deletes the value `name` of the open key. False when it is still there.
    [[nodiscard]] bool DeleteValue(const std::string& name);
    // Deletes the key `path` under the root only when it holds no value and no subkey. True when it
    // was deleted.
    [[nodiscard]] bool DeleteKeyIfEmpty(const std::string& path) noexcept;

    // Deletes the key `path` under the root with all its subkeys and values, the deepest first.
    // False when the key was missing or could not be deleted entirely.
    [[nodiscard]] bool DeleteKey(const std::string& path) noexcept;

private:
    [[nodiscard]] bool Open(const std::string& path, REGSAM access, bool create);

    HKEY root_;
    RegKey key_;
};

