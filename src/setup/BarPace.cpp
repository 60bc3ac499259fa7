#include "setup/BarPace.h"

#include <climits>

namespace setup {

namespace {

unsigned Shift(unsigned long long count) noexcept { return count > INT_MAX ? 20 : 0; }

}  // namespace

int BarPace::Start(unsigned long long totalKB, unsigned long tick) noexcept
{
    *this = BarPace();
    totalShift_ = Shift(totalKB);
    lastDrawn_ = tick;
    return static_cast<int>(totalKB >> totalShift_);
}

void BarPace::FileSized(unsigned long long size) noexcept
{
    fileShift_ = Shift(size);
    fileSize_ = size;
    fileDone_ = 0;
    rangeShown_ = false;
}

void BarPace::Progress(unsigned long long fileDone, unsigned long long copiedKB) noexcept
{
    fileDone_ = fileDone;
    copiedKB_ = copiedKB;
}

BarPace::Draw BarPace::Due(unsigned long tick, bool now) noexcept
{
    Draw draw;
    if (!now && tick - lastDrawn_ < kIntervalMs) return draw;
    lastDrawn_ = tick;
    if (!rangeShown_) {
        draw.fileRange = static_cast<int>(fileSize_ >> fileShift_);
        rangeShown_ = true;
        fileShown_ = -1;
    }
    // A bar draws itself whenever it is told a position, even the one it shows.
    const int file = static_cast<int>(fileDone_ >> fileShift_);
    const int total = static_cast<int>(copiedKB_ >> totalShift_);
    if (file != fileShown_) draw.filePosition = fileShown_ = file;
    if (total != totalShown_) draw.totalPosition = totalShown_ = total;
    return draw;
}

}  // namespace setup
