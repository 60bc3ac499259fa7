#include "util/Mutex.h"

#include "util/Cp932.h"

bool CMutex::TryCreate(const std::string& name) noexcept
{
    try {
        const std::wstring wide = cp932::ToWideLossy(name);
        KernelHandle other(::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, wide.c_str()));
        if (other) return false;
        handle_.Reset(::CreateMutexW(nullptr, TRUE, wide.c_str()));
        // Two copies started at the same instant can both miss the open; the later create says so.
        if (handle_ && ::GetLastError() == ERROR_ALREADY_EXISTS) {
            handle_.Reset();
            return false;
        }
        return true;
    } catch (...) {
        return true;
    }
}
