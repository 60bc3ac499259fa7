#include "util/Folders.h"

bool CreateFolderPath(const std::string&) noexcept { return false; }
bool FolderHasEntries(const std::string&) noexcept { return false; }
void DeleteFolderFiles(const std::string&) noexcept {}
void RemoveFolderAndEmptyParents(const std::string&) noexcept {}
