#include "toolkit/MediaPlayer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/Error.h"
#include "util/Cp932.h"

#include "TestSupport.h"

namespace {

using testsupport::PumpUntil;
using testsupport::TempFolder;
using testsupport::TestWindow;

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}
void PutTag(Bytes& out, const char (&tag)[5]) { out.insert(out.end(), tag, tag + 4); }
// A chunk: tag, size, data (padded to an even size).
void PutChunk(Bytes& out, const char (&tag)[5], const Bytes& data)
{
    PutTag(out, tag);
    Put32(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2) out.push_back(0);
}
Bytes List(const char (&type)[5], const Bytes& body)
{
    Bytes data;
    PutTag(data, type);
    data.insert(data.end(), body.begin(), body.end());
    return data;
}

constexpr uint32_t kFrameWidth = 32;
constexpr uint32_t kFrameHeight = 24;
constexpr uint32_t kFrameBytes = kFrameWidth * 3 * kFrameHeight;

// An uncompressed AVI: `frames` frames of 32 x 24 pixels, 24-bit RGB, 10 frames a second.
Bytes SmallAvi(uint32_t frames)
{
    Bytes avih;
    for (uint32_t v : {100000u, kFrameBytes * 10, 0u, 0x10u /* has index */, frames, 0u, 1u, kFrameBytes,
                       kFrameWidth, kFrameHeight, 0u, 0u, 0u, 0u})
        Put32(avih, v);
    Bytes strh;
    PutTag(strh, "vids");
    PutTag(strh, "DIB ");
    for (uint32_t v : {0u, 0u, 0u, 1u, 10u, 0u, frames, kFrameBytes, 0xFFFFFFFFu, 0u}) Put32(strh, v);
    Put32(strh, 0);                                 // frame left, top
    Put32(strh, kFrameWidth | kFrameHeight << 16);  // frame right, bottom
    Bytes strf;
    for (uint32_t v : {40u, kFrameWidth, kFrameHeight}) Put32(strf, v);
    strf.push_back(1);
    strf.push_back(0);
    strf.push_back(24);
    strf.push_back(0);
    for (uint32_t v : {0u /* BI_RGB */, kFrameBytes, 0u, 0u, 0u, 0u}) Put32(strf, v);

    Bytes strl;
    PutChunk(strl, "strh", strh);
    PutChunk(strl, "strf", strf);
    Bytes hdrl;
    PutChunk(hdrl, "avih", avih);
    PutChunk(hdrl, "LIST", List("strl", strl));

    Bytes movi;
    Bytes index;
    for (uint32_t frame = 0; frame < frames; ++frame) {
        Bytes pixels(kFrameBytes);
        for (size_t i = 0; i < pixels.size(); i += 3) {  // blue, green, red: one colour a frame
            pixels[i] = static_cast<uint8_t>(frame == 0 ? 255 : 0);
            pixels[i + 1] = static_cast<uint8_t>(frame == 1 ? 255 : 0);
            pixels[i + 2] = static_cast<uint8_t>(frame >= 2 ? 255 : 0);
        }
        PutTag(index, "00db");
        Put32(index, 0x10);                                   // key frame
        Put32(index, static_cast<uint32_t>(4 + movi.size()));  // from the 'movi' tag
        Put32(index, kFrameBytes);
        PutChunk(movi, "00db", pixels);
    }

    Bytes body;
    PutTag(body, "AVI ");
    PutChunk(body, "LIST", List("hdrl", hdrl));
    PutChunk(body, "LIST", List("movi", movi));
    PutChunk(body, "idx1", index);
    Bytes out;
    PutChunk(out, "RIFF", body);
    return out;
}

constexpr int kPlayerId = 42;

class MediaPlayerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.Made());
        ASSERT_NE(form_.Handle(), nullptr);
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        toolkit::MediaPlayer::RegisterWindowClass(instance);
        toolkit::MediaPlayer::RegisterWindowClass(instance);

        panel_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 8, 88, 160, 120, form_.Handle(), nullptr,
                                   instance, nullptr);
        ASSERT_NE(panel_, nullptr);
        const HWND child = ::CreateWindowExW(0, toolkit::MediaPlayer::WindowClassName(), L"", WS_CHILD, 176, 88, 253,
                                             30, form_.Handle(), reinterpret_cast<HMENU>(kPlayerId), instance, nullptr);
        ASSERT_NE(child, nullptr);
        player_.Attach(child);
        player_.SetDisplay(panel_);
        ::ShowWindow(form_.Handle(), SW_SHOWNA);
    }
    void TearDown() override
    {
        player_.Close();
        form_.Destroy();
    }

    std::string Write(const std::string& name, const Bytes& bytes) { return folder_.Write(name, bytes); }

    bool PumpUntilNotified(size_t count) { return PumpUntil([&] { return form_.Commands().size() >= count; }); }

    // Where the device leaves a play that ran to its end: the length, or the last frame's position.
    bool AtEnd() const { return Status(MCI_STATUS_POSITION) + 1 >= Status(MCI_STATUS_LENGTH); }
    static DWORD OpenDevices()
    {
        DWORD count = 0;
        MCI_SYSINFO_PARMSW info{};
        info.lpstrReturn = reinterpret_cast<LPWSTR>(&count);
        info.dwRetSize = sizeof count;
        info.wDeviceType = MCI_ALL_DEVICE_ID;
        EXPECT_EQ(::mciSendCommandW(MCI_ALL_DEVICE_ID, MCI_SYSINFO, MCI_SYSINFO_QUANTITY | MCI_SYSINFO_OPEN,
                                    reinterpret_cast<DWORD_PTR>(&info)),
                  0u);
        return count;
    }
    DWORD Status(DWORD item) const
    {
        MCI_STATUS_PARMS status{};
        status.dwItem = item;
        EXPECT_EQ(::mciSendCommandW(player_.DeviceId(), MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                                    reinterpret_cast<DWORD_PTR>(&status)),
                  0u);
        return static_cast<DWORD>(status.dwReturn);
    }
    std::string OpenError()
    {
        try {
            player_.Open();
        } catch (const toolkit::Error& error) {
            return error.Message();
        }
        return "(no error)";
    }

    TempFolder folder_{"SetupMovieTest-動画ソ"};
    TestWindow form_{L"movie test", WS_OVERLAPPED | WS_CLIPCHILDREN, 300, 240};
    HWND panel_ = nullptr;
    toolkit::MediaPlayer player_;
};

TEST_F(MediaPlayerTest, PlaysToTheEndNotifiesTheFormAndReplaysFromTheStart)
{
    player_.SetFileName(Write("demo.avi", SmallAvi(6)));
    EXPECT_FALSE(player_.DeviceOpen());
    player_.Open();
    ASSERT_TRUE(player_.DeviceOpen());
    player_.SetDisplayRect(0, 0, 160, 120);

    player_.Play();
    ASSERT_TRUE(PumpUntilNotified(1));
    EXPECT_EQ(form_.Commands()[0].first, MAKEWPARAM(kPlayerId, toolkit::MediaPlayer::kNotifyCode));
    EXPECT_EQ(form_.Commands()[0].second, reinterpret_cast<LPARAM>(player_.Handle()));
    EXPECT_EQ(player_.LastNotifyValue(), MCI_NOTIFY_SUCCESSFUL);
    EXPECT_TRUE(AtEnd());
    // The movie's frames were drawn over the whole rectangle, far beyond its own 32 x 24 pixels.
    const HDC panel = ::GetDC(panel_);
    for (const POINT at : {POINT{80, 60}, POINT{155, 115}}) {
        const COLORREF colour = ::GetPixel(panel, at.x, at.y);
        EXPECT_TRUE(colour == RGB(0, 0, 255) || colour == RGB(0, 255, 0) || colour == RGB(255, 0, 0))
            << at.x << "," << at.y << ": " << std::hex << colour;
    }
    ::ReleaseDC(panel_, panel);

    // At the end: playing again starts over and ends again.
    player_.SetNotify(true);
    player_.Play();
    EXPECT_LT(Status(MCI_STATUS_POSITION), 4u);  // started over, not from the last frame
    ASSERT_TRUE(PumpUntilNotified(2));
    EXPECT_EQ(player_.LastNotifyValue(), MCI_NOTIFY_SUCCESSFUL);
    player_.Play();
    ASSERT_TRUE(PumpUntilNotified(3));
    EXPECT_EQ(player_.LastNotifyValue(), MCI_NOTIFY_SUCCESSFUL);

    player_.Stop();
    player_.Close();
    EXPECT_FALSE(player_.DeviceOpen());
    player_.Close();  // nothing open: nothing to do
    EXPECT_EQ(form_.Commands().size(), 3u);
}

TEST_F(MediaPlayerTest, NotifyFalseSilencesOnlyTheNextCommand)
{
    player_.SetFileName(Write("demo.avi", SmallAvi(3)));
    player_.Open();
    player_.SetNotify(false);
    player_.Play();
    // The play ends without a word: wait for the device to say it has stopped at the end.
    ASSERT_TRUE(PumpUntil([&] { return Status(MCI_STATUS_MODE) == MCI_MODE_STOP; }));
    ASSERT_TRUE(PumpUntil([] { return true; }));
    EXPECT_TRUE(form_.Commands().empty());
    EXPECT_TRUE(AtEnd());

    player_.Play();  // the default is back
    ASSERT_TRUE(PumpUntilNotified(1));
    EXPECT_EQ(player_.LastNotifyValue(), MCI_NOTIFY_SUCCESSFUL);
}

TEST_F(MediaPlayerTest, StopInterruptsAPlayThatAskedForNotification)
{
    player_.SetFileName(Write("long.avi", SmallAvi(50)));  // five seconds
    player_.Open();
    player_.Play();
    ASSERT_TRUE(PumpUntil([&] { return Status(MCI_STATUS_POSITION) > 0; }));
    player_.Stop();
    // The interrupted play still reports (Wine calls the outcome successful, Windows aborted).
    ASSERT_TRUE(PumpUntilNotified(1));
    EXPECT_NE(player_.LastNotifyValue(), 0);
    EXPECT_EQ(Status(MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    EXPECT_LT(Status(MCI_STATUS_POSITION), Status(MCI_STATUS_LENGTH));
    player_.SetNotify(false);
    player_.Stop();
    player_.Close();
    EXPECT_FALSE(player_.DeviceOpen());
}

TEST_F(MediaPlayerTest, OpenAgainClosesTheDeviceStillOpen)
{
    ASSERT_EQ(OpenDevices(), 0u);
    player_.SetFileName(Write("one.avi", SmallAvi(2)));
    player_.Open();
    EXPECT_EQ(OpenDevices(), 1u);
    const std::string second = Write("two.avi", SmallAvi(7));
    player_.SetFileName(second);
    player_.Open();
    EXPECT_TRUE(player_.DeviceOpen());
    EXPECT_EQ(OpenDevices(), 1u);
    EXPECT_EQ(Status(MCI_STATUS_LENGTH), 7u);  // the second file's
    EXPECT_EQ(player_.FileName(), second);
    player_.Close();
    EXPECT_EQ(OpenDevices(), 0u);
}

TEST_F(MediaPlayerTest, FailuresAreErrorsWithTheSystemsText)
{
    wchar_t expected[MAXERRORLENGTH] = {};
    const struct {
        std::string path;
        MCIERROR code;  // as the system reports it here
    } cases[] = {
        {folder_.PathOf("missing.avi"), MCIERR_FILE_NOT_FOUND},
        {folder_.PathOf("NUL.avi"), MCIERR_FILE_NOT_FOUND},  // a device, never opened
        {folder_.PathOf("com1.avi"), MCIERR_FILE_NOT_FOUND},
        {Write("text.avi", Bytes(2000, 'x')), MCIERR_INVALID_FILE},
    };
    for (const auto& c : cases) {
        player_.SetFileName(c.path);
        const std::string error = OpenError();
        EXPECT_FALSE(player_.DeviceOpen()) << c.path;
        ASSERT_TRUE(::mciGetErrorStringW(c.code, expected, MAXERRORLENGTH));
        EXPECT_EQ(error, cp932::FromWideLossy(expected)) << c.path;
        EXPECT_FALSE(error.empty());
    }

    EXPECT_THROW(player_.Stop(), toolkit::Error);
    EXPECT_THROW(player_.Play(), toolkit::Error);
    EXPECT_THROW(player_.SetDisplayRect(0, 0, 160, 120), toolkit::Error);
    EXPECT_NO_THROW(player_.Close());
}

}  // namespace
