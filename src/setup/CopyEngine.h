#pragma once
// The copy of an installation, without its window: every selected item of the plan, read and
// written in 1 MiB blocks (one read and one write each), stamped with its source's time. It
// reports through an observer and returns how it ended and what it created.

#include <string>
#include <vector>

#include "setup/InstallPlan.h"
#include "util/Result.h"

namespace setup {

struct CopyJob {
    std::string folder;  // the destination, without a final backslash
    Plan plan;
};

// A file that was in the destination under a name the copy writes, renamed to a name of its own in
// the same folder before the copy took its place.
struct SetAside {
    std::string file;   // where it was and goes back to
    std::string aside;  // where it is now
};

struct CopyResult {
    // Every selected item copied, or how the copy ended: Stopped (the observer said not to go on),
    // NoMemory (no room for the copy buffer), CannotOpen (a source), CannotRead (a source's size or
    // a block of it), CannotCreate (a destination that cannot be made, or whose old file cannot be
    // set aside), CannotWrite (a destination that cannot be written in full, closed or stamped: a
    // full disk), each with its path and the system's code.
    Result outcome;
    // The destination files this run created, in order: what a rollback deletes. A file that was in
    // the destination is never among them: it was set aside first.
    std::vector<std::string> created;
    // What the rollback puts back, and a finished installation deletes.
    std::vector<SetAside> setAside;
};

class CopyObserver {
public:
    // An item's turn: its name is shown, copied or not.
    virtual void ItemStarts(const CopyItem& item) = 0;
    // Its source is open and holds `size` bytes.
    virtual void FileSized(unsigned long long size) = 0;
    // Before every block, once: false stops the copy. Where the window lets messages run.
    virtual bool GoOn() = 0;
    // After every block: the bytes of this file and the KB of the whole copy so far.
    virtual void Progress(unsigned long long fileDone, unsigned long long copiedKB) = 0;

protected:
    ~CopyObserver() = default;
};

// The observer must not throw. Both files are closed when it returns.
[[nodiscard]] CopyResult Copy(const CopyJob& job, CopyObserver& observer);

}  // namespace setup
