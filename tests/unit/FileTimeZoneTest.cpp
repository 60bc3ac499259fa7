// Packed times are local times. Run once per zone (TZ=Asia/Tokyo, TZ=America/New_York); like
// Windows, the conversions use the offset in force when they run, not the one of the stamped date.
#include "util/File.h"

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

namespace {

using testsupport::TempFolder;

enum class Zone { Tokyo, NewYorkStandard, NewYorkDaylight, Other };

ULONGLONG Ticks(const FILETIME& ft) { return (ULONGLONG{ft.dwHighDateTime} << 32) | ft.dwLowDateTime; }

FILETIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms = 0)
{
    const SYSTEMTIME st{year, month, 0, day, hour, minute, second, ms};
    FILETIME ft{};
    ::SystemTimeToFileTime(&st, &ft);
    return ft;
}

WORD SundayOnOrAfter(WORD year, WORD month, WORD day)
{
    SYSTEMTIME st{year, month, 0, day, 0, 0, 0, 0};
    FILETIME ft{};
    ::SystemTimeToFileTime(&st, &ft);
    ::FileTimeToSystemTime(&ft, &st);  // fills in the day of the week
    return static_cast<WORD>(day + (7 - st.wDayOfWeek) % 7);
}

// US daylight time: from the second Sunday of March, 07:00 UTC, to the first Sunday of November, 06:00 UTC.
bool NewYorkDaylightTimeNow()
{
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    FILETIME nowFt{};
    ::SystemTimeToFileTime(&now, &nowFt);
    const FILETIME start = Utc(now.wYear, 3, SundayOnOrAfter(now.wYear, 3, 8), 7, 0, 0);
    const FILETIME end = Utc(now.wYear, 11, SundayOnOrAfter(now.wYear, 11, 1), 6, 0, 0);
    return Ticks(start) <= Ticks(nowFt) && Ticks(nowFt) < Ticks(end);
}

Zone ZoneInForce()
{
    wchar_t tz[64] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"TZ", tz, 64);
    const std::wstring name = length < 64 ? std::wstring(tz, length) : std::wstring();
    if (name == L"Asia/Tokyo") return Zone::Tokyo;
    if (name == L"America/New_York") return NewYorkDaylightTimeNow() ? Zone::NewYorkDaylight : Zone::NewYorkStandard;
    return Zone::Other;
}

struct Packed {
    int date, time;
};

struct Instant {
    FILETIME utc;
    Packed tokyo, newYorkStandard, newYorkDaylight;
    Packed In(Zone zone) const
    {
        return zone == Zone::Tokyo ? tokyo : zone == Zone::NewYorkStandard ? newYorkStandard : newYorkDaylight;
    }
};

const Instant kInstants[] = {
    {Utc(2026, 12, 6, 10, 5, 42, 734), {20261206, 190542}, {20261206, 50542}, {20261206, 60542}},
    {Utc(2026, 7, 15, 12, 0, 0), {20260715, 210000}, {20260715, 70000}, {20260715, 80000}},
    {Utc(2026, 12, 31, 20, 30, 0), {20270101, 53000}, {20261231, 153000}, {20261231, 163000}},
    {Utc(2027, 1, 1, 2, 0, 0), {20270101, 110000}, {20261231, 210000}, {20261231, 220000}},
};

class CFileTimeZone : public testing::Test {
protected:
    void SetUp() override
    {
        zone_ = ZoneInForce();
        if (zone_ == Zone::Other) GTEST_SKIP() << "TZ is neither Asia/Tokyo nor America/New_York";
        ASSERT_TRUE(folder_.Made());
        path_ = folder_.PathOf("CFileTimeZone.dat");
        pathW_ = folder_.WidePathOf(L"CFileTimeZone.dat");
        CFile file;
        ASSERT_TRUE(file.Open(path_, GENERIC_WRITE));
    }

    TempFolder folder_{"CFileTimeZone"};
    Zone zone_ = Zone::Other;
    std::wstring pathW_;
    std::string path_;
};

}  // namespace

TEST_F(CFileTimeZone, GetTimeGivesLocalTime)
{
    for (const Instant& instant : kInstants) {
        HANDLE handle = ::CreateFileW(pathW_.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(::SetFileTime(handle, nullptr, nullptr, &instant.utc));
        ::CloseHandle(handle);

        CFile file;
        ASSERT_TRUE(file.Open(path_, GENERIC_READ));
        int date = 0, time = 0;
        ASSERT_TRUE(file.GetTime(date, time));
        const Packed expected = instant.In(zone_);
        EXPECT_EQ(date, expected.date);
        EXPECT_EQ(time, expected.time);
    }
}

TEST_F(CFileTimeZone, SetTimeTakesLocalTime)
{
    for (const Instant& instant : kInstants) {
        const Packed local = instant.In(zone_);
        {
            CFile file;
            ASSERT_TRUE(file.Open(path_, GENERIC_WRITE));
            ASSERT_TRUE(file.SetTime(local.date, local.time));
        }
        HANDLE handle = ::CreateFileW(pathW_.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        FILETIME created{}, accessed{}, written{};
        ASSERT_TRUE(::GetFileTime(handle, &created, &accessed, &written));
        ::CloseHandle(handle);
        const ULONGLONG wholeSecond = Ticks(instant.utc) / 10000000u * 10000000u;
        EXPECT_EQ(Ticks(written), wholeSecond) << local.date << " " << local.time;
        EXPECT_EQ(Ticks(accessed), wholeSecond) << local.date << " " << local.time;
    }
}

// The copy's stamp is the round trip through packed local time, in either zone and season.
TEST_F(CFileTimeZone, StampFromGivesWhatSetTimeOfGetTimeGives)
{
    const std::string copy = folder_.PathOf("copy.dat");
    for (const Instant& instant : kInstants) {
        HANDLE handle = ::CreateFileW(pathW_.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(::SetFileTime(handle, nullptr, nullptr, &instant.utc));
        ::CloseHandle(handle);
        CFile source, target;
        ASSERT_TRUE(source.Open(path_, GENERIC_READ) && target.Open(copy, GENERIC_WRITE));
        ASSERT_TRUE(target.StampFrom(source));
        target.Close();
        int stamped[2] = {}, expected[2] = {};
        ASSERT_TRUE(target.Open(copy, GENERIC_READ) && target.GetTime(stamped[0], stamped[1]));
        ASSERT_TRUE(source.GetTime(expected[0], expected[1]));
        EXPECT_EQ(stamped[0], expected[0]);
        EXPECT_EQ(stamped[1], expected[1]);
        HANDLE read = ::CreateFileW(testsupport::Wide(copy).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    0, nullptr);
        FILETIME created{}, accessed{}, written{};
        ASSERT_TRUE(::GetFileTime(read, &created, &accessed, &written));
        ::CloseHandle(read);
        EXPECT_EQ(Ticks(written), Ticks(instant.utc) / 10000000u * 10000000u);
    }
}
