#pragma once
// The single-instance guard: holds at most one handle to a named mutex.

#include <string>

#include "util/Handles.h"

class CMutex {
public:
    CMutex() noexcept = default;
    // True when this process is the first to hold `name`: neither an open nor a create finds
    // another holder.
    [[nodiscard]] bool TryCreate(const std::string& name) noexcept;
    void Close() noexcept { handle_.Reset(); }

private:
    KernelHandle handle_;
};
