#include "util/File.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "util/Cp932.h"
#include "util/Handles.h"

namespace {

using testsupport::TempFolder;
using testsupport::Wide;

class CFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.Made()); }

    std::string PathOf(const std::string& name) const { return folder_.PathOf(name); }

    static void WriteText(const std::string& path, const std::string& content)
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, GENERIC_WRITE));
        ASSERT_EQ(file.Write(content.data(), static_cast<DWORD>(content.size())), content.size());
    }
    static std::string ReadText(const std::string& path)
    {
        CFile file;
        if (!file.Open(path, GENERIC_READ)) return "<missing>";
        std::string content(file.Size(), '\0');
        content.resize(file.Read(content.data(), static_cast<DWORD>(content.size())));
        return content;
    }

    TempFolder folder_{"CFileTest"};
};

FILETIME LocalToUtc(const SYSTEMTIME& local)
{
    FILETIME lt{}, utc{};
    EXPECT_TRUE(::SystemTimeToFileTime(&local, &lt));
    EXPECT_TRUE(::LocalFileTimeToFileTime(&lt, &utc));
    return utc;
}

SYSTEMTIME UtcToLocal(const FILETIME& utc)
{
    FILETIME lt{};
    SYSTEMTIME st{};
    EXPECT_TRUE(::FileTimeToLocalFileTime(&utc, &lt));
    EXPECT_TRUE(::FileTimeToSystemTime(&lt, &st));
    return st;
}

}  // namespace

TEST_F(CFileTest, ClosedFileDoesNothing)
{
    CFile file;
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
    EXPECT_EQ(file.Write(buffer, sizeof buffer), 0u);
    EXPECT_EQ(file.Size(), 0u);
    EXPECT_FALSE(file.Size64());
    int date = 7, time = 7;
    EXPECT_FALSE(file.GetTime(date, time));
    EXPECT_EQ(date, 0);
    EXPECT_EQ(time, 0);
    EXPECT_FALSE(file.SetTime(20261206, 190542));
    EXPECT_FALSE(file.Close());
}

TEST_F(CFileTest, MissingFileIsNotOpened)
{
    CFile file;
    EXPECT_FALSE(file.Open(PathOf("missing.dat"), GENERIC_READ));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Close());
}

TEST_F(CFileTest, FailedOpenLeavesTheFileClosed)
{
    WriteText(PathOf("a.dat"), "abc");
    CFile file;
    ASSERT_TRUE(file.Open(PathOf("a.dat"), GENERIC_READ));
    EXPECT_FALSE(file.Open(PathOf("missing.dat"), GENERIC_READ));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Size(), 0u);
    // The earlier handle was closed: a writer may now have the file.
    CFile writer;
    EXPECT_TRUE(writer.Open(PathOf("a.dat"), GENERIC_WRITE));
}

TEST_F(CFileTest, UnknownAccessIsRefused)
{
    WriteText(PathOf("a.dat"), "abc");
    CFile file;
    EXPECT_FALSE(file.Open(PathOf("a.dat"), GENERIC_READ | GENERIC_WRITE));
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(CFileTest, PathsThatCannotBeCreated)
{
    ASSERT_TRUE(::CreateDirectoryW(folder_.WidePathOf(L"folder.dat").c_str(), nullptr));
    for (const char* name : {"no such folder\\a.dat", "folder.dat"}) {
        CFile file;
        EXPECT_FALSE(file.Open(PathOf(name), GENERIC_WRITE)) << name;
        EXPECT_FALSE(file.IsOpen()) << name;
    }
    EXPECT_EQ(::GetFileAttributesW(folder_.WidePathOf(L"no such folder").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Only files on a disk are read or written: a device in any folder, or a pipe, is refused as if
// it were missing, and nothing is made in its place.
TEST_F(CFileTest, DevicesAndPipesAreNotFiles)
{
    const std::string pipe = "\\\\.\\pipe\\setup-cfile-test";
    const FileHandle server(::CreateNamedPipeW(Wide(pipe).c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 4, 0, 0, 0,
                                               nullptr));
    ASSERT_TRUE(server);
    for (const std::string& path : {PathOf("NUL"), PathOf("COM1"), PathOf("CON"), PathOf("LPT1"), PathOf("nul.txt"),
                                    std::string("NUL"), pipe}) {
        for (const DWORD access : {DWORD{GENERIC_READ}, DWORD{GENERIC_WRITE}}) {
            CFile file;
            EXPECT_FALSE(file.Open(path, access)) << path << " " << access;
            EXPECT_FALSE(file.IsOpen()) << path;
        }
    }
    WIN32_FIND_DATAW found{};
    const FindHandle search(::FindFirstFileW(folder_.WidePathOf(L"*").c_str(), &found));
    ASSERT_TRUE(search);
    do {
        EXPECT_EQ(found.cFileName[0], L'.') << "made: " << cp932::FromWideLossy(found.cFileName);
    } while (::FindNextFileW(search.Get(), &found));
}

TEST_F(CFileTest, ReadOnlyFileCannotBeCreated)
{
    WriteText(PathOf("ro.dat"), "keep");
    const std::wstring path = folder_.WidePathOf(L"ro.dat");
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    // Wine maps the attribute to the Unix mode bits, which do not bind root.
    HANDLE probe = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        ::CloseHandle(probe);
        GTEST_SKIP() << "this user may write read-only files (root under Wine)";
    }
    CFile file;
    EXPECT_FALSE(file.Open(PathOf("ro.dat"), GENERIC_WRITE));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadText(PathOf("ro.dat")), "keep");
}

TEST_F(CFileTest, WriteThenReadBack)
{
    WriteText(PathOf("a.dat"), "hello, world");
    CFile file;
    ASSERT_TRUE(file.Open(PathOf("a.dat"), GENERIC_READ));
    EXPECT_EQ(file.Size(), 12u);
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 8), 8u);
    EXPECT_EQ(std::string(buffer, 8), "hello, w");
    EXPECT_EQ(file.Read(buffer, 8), 4u);  // short at the end
    EXPECT_EQ(std::string(buffer, 4), "orld");
    EXPECT_EQ(file.Read(buffer, 8), 0u);
    EXPECT_EQ(file.Write("x", 1), 0u);  // opened for reading only
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(CFileTest, OpeningForWritingEmptiesTheFile)
{
    WriteText(PathOf("a.dat"), "old content");
    CFile file;
    ASSERT_TRUE(file.Open(PathOf("a.dat"), GENERIC_WRITE));
    EXPECT_EQ(file.Size(), 0u);
    file.Close();
    EXPECT_EQ(ReadText(PathOf("a.dat")), "");
}

TEST_F(CFileTest, Sharing)
{
    WriteText(PathOf("a.dat"), "abc");
    {
        CFile writer, reader;
        ASSERT_TRUE(writer.Open(PathOf("a.dat"), GENERIC_WRITE));
        EXPECT_FALSE(reader.Open(PathOf("a.dat"), GENERIC_READ)) << "a file open for writing is held alone";
    }
    {
        CFile first, second, writer;
        ASSERT_TRUE(first.Open(PathOf("a.dat"), GENERIC_READ));
        EXPECT_TRUE(second.Open(PathOf("a.dat"), GENERIC_READ)) << "readers share";
        EXPECT_FALSE(writer.Open(PathOf("a.dat"), GENERIC_WRITE)) << "readers keep writers out";
    }
}

TEST_F(CFileTest, SetTimeStampsWholeSeconds)
{
    CFile file;
    ASSERT_TRUE(file.Open(PathOf("a.dat"), GENERIC_WRITE));
    ASSERT_EQ(file.Write("abc", 3), 3u);
    ASSERT_TRUE(file.SetTime(20261206, 190542));
    file.Close();

    HANDLE handle = ::CreateFileW(folder_.WidePathOf(L"a.dat").c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    FILETIME created{}, accessed{}, written{};
    ASSERT_TRUE(::GetFileTime(handle, &created, &accessed, &written));
    ::CloseHandle(handle);
    // Wine keeps no creation time of its own, so only these two are checked.
    for (const FILETIME& utc : {accessed, written}) {
        const SYSTEMTIME st = UtcToLocal(utc);
        EXPECT_EQ(st.wYear, 2026);
        EXPECT_EQ(st.wMonth, 12);
        EXPECT_EQ(st.wDay, 6);
        EXPECT_EQ(st.wHour, 19);
        EXPECT_EQ(st.wMinute, 5);
        EXPECT_EQ(st.wSecond, 42);
        EXPECT_EQ(st.wMilliseconds, 0);
        const ULONGLONG ticks = (ULONGLONG{utc.dwHighDateTime} << 32) | utc.dwLowDateTime;
        EXPECT_EQ(ticks % 10000000u, 0u) << "not a whole second";
    }
}

TEST_F(CFileTest, GetTimeDropsMilliseconds)
{
    WriteText(PathOf("a.dat"), "abc");
    HANDLE handle = ::CreateFileW(folder_.WidePathOf(L"a.dat").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    const FILETIME utc = LocalToUtc(SYSTEMTIME{2026, 12, 0, 6, 19, 5, 42, 734});
    ASSERT_TRUE(::SetFileTime(handle, nullptr, nullptr, &utc));
    ::CloseHandle(handle);

    CFile file;
    ASSERT_TRUE(file.Open(PathOf("a.dat"), GENERIC_READ));
    int date = 0, time = 0;
    ASSERT_TRUE(file.GetTime(date, time));
    EXPECT_EQ(date, 20261206);
    EXPECT_EQ(time, 190542);
}

TEST_F(CFileTest, CopyingTheTimeRoundTrips)
{
    const struct {
        int date, time;
    } cases[] = {{20261206, 190542}, {19991231, 235959}, {20000101, 0}, {20240229, 120000}, {19800101, 10203}};
    for (const auto& c : cases) {
        CFile target;
        ASSERT_TRUE(target.Open(PathOf("a.dat"), GENERIC_WRITE));
        ASSERT_TRUE(target.SetTime(c.date, c.time)) << c.date << " " << c.time;
        target.Close();
        CFile source;
        ASSERT_TRUE(source.Open(PathOf("a.dat"), GENERIC_READ));
        int date = 0, time = 0;
        ASSERT_TRUE(source.GetTime(date, time));
        EXPECT_EQ(date, c.date);
        EXPECT_EQ(time, c.time);
    }
}

TEST_F(CFileTest, SetTimeRefusesImpossibleValues)
{
    CFile file;
    ASSERT_TRUE(file.Open(PathOf("a.dat"), GENERIC_WRITE));
    const struct {
        int date, time;
    } cases[] = {{20261306, 0},  {20261232, 0},  {20261200, 0},          {20261206, 250000},
                 {20261206, 6000}, {20261206, 61}, {-20261206, 0},         {20261206, -1},
                 {2147483647, 0}, {0, 0},         {20261206, 2147483647}};
    for (const auto& c : cases) EXPECT_FALSE(file.SetTime(c.date, c.time)) << c.date << " " << c.time;
}

TEST_F(CFileTest, EmptyFileHasSizeAndTime)
{
    WriteText(PathOf("empty.dat"), "");
    CFile file;
    ASSERT_TRUE(file.Open(PathOf("empty.dat"), GENERIC_READ));
    EXPECT_EQ(file.Size(), 0u);
    EXPECT_EQ(file.Size64(), 0u);
    int date = 0, time = 0;
    EXPECT_TRUE(file.GetTime(date, time));
    EXPECT_GE(date, 20000101);
}

TEST_F(CFileTest, SizeOfAFileOver4GiB)
{
    const unsigned long long size = (1ull << 32) + 5;
    HANDLE handle =
        ::CreateFileW(folder_.WidePathOf(L"big.dat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    EXPECT_TRUE(::SetFilePointerEx(handle, end, nullptr, FILE_BEGIN));
    EXPECT_TRUE(::SetEndOfFile(handle));
    ::CloseHandle(handle);

    CFile file;
    ASSERT_TRUE(file.Open(PathOf("big.dat"), GENERIC_READ));
    EXPECT_EQ(file.Size(), 5u);
    EXPECT_EQ(file.Size64(), size);
}

TEST_F(CFileTest, PathLengthLimit)
{
    // Up to 259 bytes is a path; one byte more is refused before the system sees it.
    const std::string base = PathOf("");
    ASSERT_LT(base.size(), 200u);
    const std::string longest = base + std::string(259 - base.size(), 'a');
    CFile file;
    EXPECT_TRUE(file.Open(longest, GENERIC_WRITE));
    file.Close();
    EXPECT_TRUE(file.Open(longest, GENERIC_READ));
    file.Close();
    const std::string tooLong = base + std::string(260 - base.size(), 'b');
    EXPECT_FALSE(file.Open(tooLong, GENERIC_WRITE));
    EXPECT_EQ(::GetFileAttributesW(Wide(tooLong).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(file.Open(base + std::string(300 - base.size(), 'c'), GENERIC_WRITE));
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(CFileTest, PathThatIsNotCodePage932IsRefused)
{
    CFile file;
    EXPECT_FALSE(file.Open(PathOf("a\x81"), GENERIC_WRITE));
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(CFileTest, JapaneseFileName)
{
    WriteText(PathOf("ゲームデータ表ソ.dat"), "データ");
    EXPECT_NE(::GetFileAttributesW(folder_.WidePathOf(L"ゲームデータ表ソ.dat").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadText(PathOf("ゲームデータ表ソ.dat")), "データ");
}

TEST(CFileFreeSpace, DriveThatDoesNotExist)
{
    const DWORD drives = ::GetLogicalDrives();
    char letter = 0;
    for (char c = 'Y'; c >= 'D' && !letter; --c)
        if (!(drives & (1u << (c - 'A')))) letter = c;
    ASSERT_NE(letter, 0) << "every drive letter is in use";
    EXPECT_EQ(CFile::FreeMegabytes(std::string(1, letter) + ":"), 0u);
}

TEST(CFileFreeSpace, DriveTextTooLong)
{
    EXPECT_EQ(CFile::FreeMegabytes(std::string(255, 'C')), 0u);
    EXPECT_EQ(CFile::FreeMegabytes("C:\x81"), 0u);
}

TEST(CFileFreeSpace, SystemDrive)
{
    EXPECT_GT(CFile::FreeMegabytes("C:"), 0u);
}

// A drive letter mapped onto an empty 10 GiB tmpfs, named by the environment (such as "T:").
TEST(CFileFreeSpace, DriveOfKnownSize)
{
    const char* drive = std::getenv("SETUP_TMPFS_DRIVE");
    if (!drive || !*drive) GTEST_SKIP() << "SETUP_TMPFS_DRIVE is not set";
    EXPECT_EQ(CFile::FreeMegabytes(drive), 10240u);

    // Half a MiB taken: the remainder is dropped, not rounded.
    const std::string path = std::string(drive) + "\\half.dat";
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, GENERIC_WRITE));
        const std::vector<char> block(512 * 1024, 'x');
        ASSERT_EQ(file.Write(block.data(), static_cast<DWORD>(block.size())), block.size());
    }
    EXPECT_EQ(CFile::FreeMegabytes(drive), 10239u);
    ::DeleteFileW(Wide(path).c_str());
    EXPECT_EQ(CFile::FreeMegabytes(drive), 10240u);
}
