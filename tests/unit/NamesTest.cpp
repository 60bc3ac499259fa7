#include "setup/SetupNames.h"
#include "util/Names.h"

#include "setup/FolderName.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameCase {
    const char* input;
    const char* expected;
};

std::string Bytes(const char* text) { return text; }

}  // namespace

TEST(Names, IsLeadByteBounds)
{
    const struct {
        unsigned char byte;
        bool lead;
    } cases[] = {{0x00, false}, {0x5C, false}, {0x80, false}, {0x81, true}, {0x9F, true}, {0xA0, false},
                 {0xDF, false}, {0xE0, true},  {0xFC, true},  {0xFD, false}, {0xFF, false}};
    for (const auto& c : cases) EXPECT_EQ(IsLeadByte(c.byte), c.lead) << std::hex << int{c.byte};
}

TEST(Names, NextCharWalksWholeCharacters)
{
    const struct {
        const char* text;
        size_t i, next, nextValid;
    } cases[] = {
        {"ab", 0, 1, 1},
        {"ソa", 0, 2, 2},        // 0x83 0x5C: the 0x5C is its second byte
        {"aソ", 1, 3, 3},
        {"a\x83", 1, 3, 2},     // a lone lead byte at the end
        {"\x83\x7F=", 0, 2, 1},  // 0x7F is no second byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NextChar(c.text, c.i), c.next) << c.text;
        EXPECT_EQ(NextValidChar(c.text, c.i), c.nextValid) << c.text;
    }
}

TEST(Names, JapaneseLiteralsAreCodePage932)
{
    // The cases below depend on these bytes: ソ and 表 end in 0x5C.
    EXPECT_EQ(Bytes("ソ"), "\x83\x5C");
    EXPECT_EQ(Bytes("表"), "\x95\x5C");
}

TEST(Names, FileNamePart)
{
    const NameCase cases[] = {
        {"data\\sub\\a.dat", "a.dat"},
        {"a.dat", "a.dat"},
        {"C:game.exe", "game.exe"},
        {"C:\\ゲーム\\game.exe", "game.exe"},
        {"a:b\\c:d", "d"},
        {"\\a.dat", "a.dat"},
        {"data\\", ""},
        {"", ""},
        {"ソ", "ソ"},  // its second byte is not a separator
        {"フォルダ\\ソ.exe", "ソ.exe"},
        {"表\\ソ", "ソ"},
        {"data\\表.dat", "表.dat"},
        {"x\\\x83", "\x83"},  // a lead byte cut off at the end
    };
    for (const auto& c : cases) EXPECT_EQ(FileNamePart(c.input), c.expected) << c.input;
}

// The name every file lands under; one that is no file name of its own is none (empty).
TEST(Names, StoredName)
{
    const NameCase cases[] = {
        {"data\\sub\\a.dat", "a.dat"},
        {"a.dat", "a.dat"},
        {"\\a.dat", "a.dat"},
        {"../../users/me/Documents/notes.txt", "notes.txt"},  // a slash separates levels, as for Windows
        {"..\\x/notes.txt", "notes.txt"},
        {"C:game.exe", "game.exe"},
        {"data\\", ""},
        {"data/..", ""},
        {".", ""},
        {"x\\ ..", ""},
        {"data\\NUL", ""},
        {"com1.txt", ""},
        {"a\x01", ""},
        {"", ""},
        {"data\\ソ", "ソ"},
        {"表\\", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(setup::StoredName(c.input), c.expected) << c.input;
}

TEST(Names, OrdinaryEntriesHaveEqualNames)
{
    for (const char* entry : {"a.dat", "data\\sub\\a.dat", "movie\\デモ.avi", "WAVE01.dat"})
        EXPECT_EQ(setup::StoredName(entry), FileNamePart(entry)) << entry;
}

TEST(Names, Extension)
{
    const NameCase cases[] = {
        {"se.WAV", ".WAV"},
        {"se.wav", ".wav"},
        {"data\\sub\\a.dat", ".dat"},
        {"a.tar.gz", ".gz"},
        {"a.b\\c", ""},  // the dot belongs to a folder
        {"C:x.y:z", ""},
        {"noext", ""},
        {"", ""},
        {"file.", "."},
        {"a.ソ", ".ソ"},  // the second byte of ソ does not end the search
        {"dir.d\\表", ""},
        {"表.txt", ".txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(Extension(c.input), c.expected) << c.input;
}

TEST(Names, IsSoundEntry)
{
    const struct {
        const char* entry;
        bool sound;
    } cases[] = {
        {"WAVE01.dat", true}, {"wav.dat", true},          {"bgm.wav", false},      {"data\\Wav01.dat", true},
        {"C:wAv1", true},     {"sound\\wav", true},       {"wav\\bgm.dat", false}, {"wa", false},
        {"", false},          {"ｗａｖ.dat", false},       {"wa\\v.dat", false},    {"xwav.dat", false},
    };
    for (const auto& c : cases) EXPECT_EQ(setup::IsSoundEntry(c.entry), c.sound) << c.entry;
}

TEST(Names, TheFinalSeparator)
{
    const struct {
        const char* path;
        bool ends;
        const char* without;
    } cases[] = {
        {"C:\\Game\\", true, "C:\\Game"},
        {"C:\\Game", false, "C:\\Game"},
        {"C:\\Game\\\\", true, "C:\\Game\\"},  // one only
        {"C:\\ドラゴン\\", true, "C:\\ドラゴン"},  // ン is 0x83 0x93: its second byte looks like a lead byte
        {"C:\\メ\\", true, "C:\\メ"},
        {"C:\\ソ\\", true, "C:\\ソ"},
        {"C:\\ソ", false, "C:\\ソ"},              // the final 0x5C belongs to ソ
        {"C:\\Game/", true, "C:\\Game"},
        {"C:\\", true, "C:\\"},                    // C: alone would be the drive's current folder
        {"\\", true, ""},
        {"", false, ""},
        {"\x81", false, "\x81"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EndsWithSeparator(c.path), c.ends) << c.path;
        EXPECT_EQ(WithoutFinalSeparator(c.path), c.without) << c.path;
    }
}

TEST(Names, DevicesAndTheInstallDirRule)
{
    const struct {
        const char* name;
        bool device;
    } devices[] = {{"NUL", true},   {"nul.txt", true},  {"COM1", true},  {"lpt9 .dat", true}, {"CON:", true},
                   {"conin$", true}, {"AUX", true},     {"COM0", false}, {"COM10", false},    {"NULL", false},
                   {"game.exe", false}, {"ポ", false}};
    for (const auto& c : devices) EXPECT_EQ(IsDeviceName(c.name), c.device) << c.name;
    for (const char* path : {"C:\\disc\\NUL", "C:\\disc\\data\\com1.bin", "C:NUL", "x\\PRN:stream"})
        EXPECT_TRUE(IsDevicePath(path)) << path;
    EXPECT_FALSE(IsDevicePath("C:\\NUL\\game.exe"));

    // Only a name that stays one folder of its own below any parent: InstallDir and ShortCut alike.
    const struct {
        const char* name;
        bool usable;
    } dirs[] = {
        {"MihonGame", true}, {"A\\B", true},      {"見本ゲーム", true}, {"ポ", true},  // ポ is 0x83 0x7C
        {"ソフト見本", true}, {"a.b c", true},     {"ドラゴン", true},   {"", false},   {"\\", false},
        {"A\\", false},     {"\\A", false},      {"A\\\\B", false},   {"..", false}, {".", false},
        {"..\\..", false},  {"A\\..\\B", false}, {"...", false},      {" ", false},  {"C:x", false},
        {"C:\\x", false},   {"a|b", false},       {"a*", false},       {"a?", false}, {"a\"b", false},
        {"a<b>", false},     {"a/b", false},       {"a\tb", false},     {"A\x81", false}, {"A\x81\x20", false},
        {"NUL", false},      {"A\\com1", false},
        {"..\\..\\..\\..\\..\\..\\Photos", false},  // six levels above Programs is the profile
        {"..\\..\\..\\..\\..\\..\\..\\..\\..\\..", false},
    };
    for (const auto& c : dirs) {
        EXPECT_EQ(IsFolderName(c.name), c.usable) << c.name;
        EXPECT_EQ(setup::FolderName::Parse(c.name).has_value(), c.usable) << c.name;
    }
    // The record key is no key that Windows or another program owns below Software.
    for (const char* owned : {"Microsoft", "microsoft\\Windows", "Classes", "Policies", "WOW6432Node", "Clients"}) {
        EXPECT_TRUE(setup::IsOwnedKeyName(owned)) << owned;
        EXPECT_FALSE(setup::FolderName::ParseInstallDir(owned)) << owned;
        EXPECT_TRUE(setup::FolderName::Parse(owned)) << owned;  // a Start-menu folder may bear such a name
    }
    for (const char* mine : {"MihonGame\\Microsoft", "MicrosoftGame", "Classes2"})
        EXPECT_TRUE(setup::FolderName::ParseInstallDir(mine)) << mine;
}

// A shortcut's name holds no level: what no file name may hold becomes full-width.
TEST(Names, ShortcutFileNames)
{
    const struct {
        const char* name;
        const char* file;  // nullptr: no link
    } cases[] = {
        {"見本ゲーム", "見本ゲーム"},
        {"星/海の物語", "星／海の物語"},
        {"..\\..\\Desktop\\MyGame", "..＼..＼Desktop＼MyGame"},
        {"a:b*c?d\"e<f>g|h", "a：b＊c？d＂e＜f＞g｜h"},
        {"ポ|ソ", "ポ｜ソ"},  // second bytes 0x7C and 0x5C stay
        {"", nullptr},
        {"..", nullptr},
        {"NUL", nullptr},
        {"a\tb", nullptr},
        {"a\x81", nullptr},
    };
    for (const auto& c : cases) {
        const auto file = setup::ShortcutFileName(c.name);
        EXPECT_EQ(file.value_or("(none)"), c.file ? c.file : "(none)") << c.name;
    }
}
