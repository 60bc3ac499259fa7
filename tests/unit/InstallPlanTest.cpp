// The one reading of the file list: sources, stored names, sound selection, counted files, and
// the game's positions.

#include <gtest/gtest.h>

#include "setup/InstallPlan.h"

namespace {

constexpr char kDisc[] = "Q:\\";

struct PlanCase {
    const char* entry;
    setup::SoundOptions options;
    const char* storedName;
    const char* copySource;
    bool copied;
    const char* countedSource;  // "" when nothing is counted
};

TEST(InstallPlan, ItemsFollowTheEntriesAndOptions)
{
    const setup::SoundOptions on{true, false}, off{false, false}, pcm{true, true};
    const PlanCase cases[] = {
        {"data\\sub\\a.dat", on, "a.dat", "Q:\\data\\sub\\a.dat", true, "Q:\\data\\sub\\a.dat"},
        {"data\\ソフト.txt", on, "ソフト.txt", "Q:\\data\\ソフト.txt", true, "Q:\\data\\ソフト.txt"},
        {"\\a.dat", on, "a.dat", "Q:\\\\a.dat", true, "Q:\\\\a.dat"},
        {"../x/notes.txt", on, "notes.txt", "Q:\\../x/notes.txt", true, "Q:\\../x/notes.txt"},
        {"data\\..", on, "", "Q:\\data\\..", true, "Q:\\data\\.."},  // no name of its own: never created
        // Sound entries count their data file, and are left out without sound.
        {"WAVE01.dat", on, "WAVE01.dat", "Q:\\WAVE01.dat", true, "Q:\\WAVE01.dat"},
        {"WAVE01.dat", off, "WAVE01.dat", "Q:\\WAVE01.dat", false, ""},
        {"snd\\wav.ogg", on, "wav.ogg", "Q:\\snd\\wav.ogg", true, "Q:\\snd\\wav.dat"},
        {"snd\\wav.ogg", pcm, "wav.ogg", "Q:\\snd\\wav.ogg", true, "Q:\\snd\\wav2.dat"},
        {"bgm.wav", off, "bgm.wav", "Q:\\bgm.wav", true, "Q:\\bgm.wav"},
        // The uncompressed variant is read from <name>2.wav; the extension test counts case.
        {"se.wav", pcm, "se.wav", "Q:\\se2.wav", true, "Q:\\se.wav"},
        {"se.WAV", pcm, "se.WAV", "Q:\\se.WAV", true, "Q:\\se.WAV"},
        {"", on, "", "Q:\\", true, "Q:\\"},
    };
    for (const PlanCase& c : cases) {
        const setup::Plan plan = setup::MakePlan({c.entry}, kDisc, false, c.options);
        ASSERT_EQ(plan.items.size(), 1u);
        const setup::CopyItem& item = plan.items[0];
        EXPECT_EQ(item.storedName, c.storedName) << c.entry;
        EXPECT_EQ(item.listedSource, std::string(kDisc) + c.entry) << c.entry;
        EXPECT_EQ(item.copySource, c.copySource) << c.entry;
        EXPECT_EQ(item.copied, c.copied) << c.entry;
        EXPECT_EQ(item.countedSource, c.countedSource) << c.entry;
    }
}

TEST(InstallPlan, GamePositionsDependOnTheMovieAndTheListLength)
{
    const std::vector<std::string> four{"demo.avi", "common.dat", "game.exe", "game_gdi.exe"};
    const auto withMovie = setup::MakePlan(four, kDisc, true, {});
    EXPECT_EQ(withMovie.gameIndex, 2);
    EXPECT_EQ(withMovie.gdiIndex, 3);
    const auto withoutMovie = setup::MakePlan(four, kDisc, false, {});
    EXPECT_EQ(withoutMovie.gameIndex, 1);
    EXPECT_EQ(withoutMovie.gdiIndex, 2);
    const auto tooShort = setup::MakePlan({"demo.avi", "common.dat", "game.exe"}, kDisc, true, {});
    EXPECT_EQ(tooShort.gameIndex, 2);
    EXPECT_FALSE(tooShort.gdiIndex);
    EXPECT_FALSE(setup::MakePlan({}, kDisc, false, {}).gameIndex);
    for (size_t i = 0; i < withMovie.items.size(); ++i) EXPECT_EQ(withMovie.items[i].index, static_cast<int>(i));
}

}  // namespace
