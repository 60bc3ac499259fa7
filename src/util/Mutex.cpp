#include "util/Mutex.h"

#include <new>

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
    } catch (const std::bad_alloc&) {
        // The guard could not be asked: the program starts as the first copy rather than not at all.
        // Any other exception is a fault and is not taken for an answer.
        return true;
    }
}
