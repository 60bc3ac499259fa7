#include "util/Result.h"

Result Failed(Failure failure, const std::string& path, DWORD code) { return {failure, path, code}; }
