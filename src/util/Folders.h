#pragma once
// The folder operations that create or delete, each with its guard: nothing outside the game's own
// folders is ever emptied or removed. They return results and never show a message.

#include <string>

// Creates `path` level by level; the first level (the drive, or the server and share) is never
// created. True only when the last level was newly made.
[[nodiscard]] bool CreateFolderPath(const std::string& path) noexcept;

// True when `folder` (no trailing backslash) holds any file or subfolder.
[[nodiscard]] bool FolderHasEntries(const std::string& folder) noexcept;

// Deletes the files directly in `folder` (read-only ones too); subfolders are left alone.
void DeleteFolderFiles(const std::string& folder) noexcept;

// Removes `folder` when it is empty, then each enclosing folder that this leaves empty.
void RemoveFolderAndEmptyParents(const std::string& folder) noexcept;
