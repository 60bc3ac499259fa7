// The copy bars' pace: drawn every 40 ms at most, only where a position changed, exactly whenever
// the copy stops to ask or ends, and in MiB where a count passes a bar's 32-bit range.
#include <gtest/gtest.h>

#include <optional>

#include "setup/BarPace.h"

namespace {

using Opt = std::optional<int>;

TEST(BarPace, DrawsEveryFortyMillisecondsOnlyWhatChangedAndAllBeforeAQuestion)
{
    constexpr unsigned long long kMiB = 1024 * 1024;
    const struct {
        const char* step;
        unsigned long long fileSize;  // a new file of this size first; 0 for none
        unsigned long long fileDone, copiedKB;
        unsigned long tick;
        bool now;
        Opt range, file, total;
    } steps[] = {
        {"too early", 2 * kMiB, kMiB, 1024, 1039, false, {}, {}, {}},
        {"due", 0, kMiB, 1024, 1040, false, 2 * kMiB, kMiB, 1024},
        {"due, nothing moved", 0, kMiB, 1024, 1100, false, {}, {}, {}},
        {"moved, too early", 0, 2 * kMiB, 2048, 1139, false, {}, {}, {}},
        {"a question", 0, 2 * kMiB, 2048, 1139, true, {}, 2 * kMiB, 2048},
        {"the next file past the range", 0x80000000ull, 0, 2048, 1179, false, 2048, 0, {}},
        {"its end", 0, 0x80000000ull, 2048 + 0x200000, 1179, true, {}, 2048, 2048 + 0x200000},
        {"a file of nothing", 1, 0, 2048 + 0x200000, 1250, false, 1, 0, {}},
    };
    setup::BarPace pace;
    EXPECT_EQ(pace.Start(4 * 1024 * 1024, 1000), 4 * 1024 * 1024);
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        if (s.fileSize) pace.FileSized(s.fileSize);
        pace.Progress(s.fileDone, s.copiedKB);
        const setup::BarPace::Draw draw = pace.Due(s.tick, s.now);
        EXPECT_EQ(draw.fileRange, s.range);
        EXPECT_EQ(draw.filePosition, s.file);
        EXPECT_EQ(draw.totalPosition, s.total);
    }

    // A whole copy past the range counts in MiB; the tick count may wrap between two drawings.
    EXPECT_EQ(pace.Start(0x80000000ull, 0xFFFFFFF0ul), 2048);
    pace.FileSized(10);
    pace.Progress(10, 0x7FFFFFFFull);
    EXPECT_FALSE(pace.Due(0x17, false).fileRange);
    const setup::BarPace::Draw wrapped = pace.Due(0x18, false);
    EXPECT_EQ(wrapped.fileRange, Opt(10));
    EXPECT_EQ(wrapped.totalPosition, Opt(2047));
}

}  // namespace
