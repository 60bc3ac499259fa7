#pragma once
// What the copy's two bars show and when they are drawn. A bar draws itself at once when it is
// moved, which can cost more than copying a block or a small file: while copying, the bars are
// moved at most every 40 ms and only to a new position, across files too, and always before the
// copy stops to ask or to end, so that they show the exact counts whenever anyone can look. A count
// that does not fit a bar's 32-bit range is shown in units of 2^20, and so still ends full.

#include <optional>

namespace setup {

class BarPace {
public:
    static constexpr unsigned long kIntervalMs = 40;

    // A new copy of `totalKB`, at `tick` (milliseconds); the whole bar's range.
    [[nodiscard]] int Start(unsigned long long totalKB, unsigned long tick) noexcept;
    // A file of `size` bytes starts: its range is shown with the next drawing.
    void FileSized(unsigned long long size) noexcept;
    void Progress(unsigned long long fileDone, unsigned long long copiedKB) noexcept;

    // What to draw now: nothing until the interval has passed, unless `now`; then only what changed.
    struct Draw {
        std::optional<int> fileRange, filePosition, totalPosition;
    };
    [[nodiscard]] Draw Due(unsigned long tick, bool now) noexcept;

private:
    unsigned totalShift_ = 0;
    unsigned fileShift_ = 0;
    unsigned long long fileSize_ = 0;
    unsigned long long fileDone_ = 0;
    unsigned long long copiedKB_ = 0;
    unsigned long lastDrawn_ = 0;
    bool rangeShown_ = true;
    int fileShown_ = 0;
    int totalShown_ = 0;
};

}  // namespace setup
