#include "setup/SetupConfig.h"

#include "setup/SetupNames.h"
#include "util/Names.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

using testsupport::TempFolder;

const char kSetup[] =
    "[Setup]\r\n"
    "GameName=テストゲーム\r\n"
    "InstallDir=TestGame\r\n"
    "ShortCut=テスト\\ゲーム\r\n"
    "ShortCut_GDI=テストゲーム (GDI)\r\n"
    "WallPaper=image\\wall.bmp\r\n";

std::string Text(const std::optional<setup::FolderName>& name) { return name ? name->Text() : std::string(); }

std::string WithFiles(const std::string& movie, const std::string& files)
{
    return kSetup + std::string("Movie=") + movie + "\r\n[Files]\r\n" + files;
}

}  // namespace

TEST(SetupConfig, ReadsEveryField)
{
    const setup::SetupConfig config = setup::ParseSetupConfig(WithFiles("", "Count=2\r\nFile1=readme.txt\r\nFile2=bin\\game.exe\r\n"));
    EXPECT_EQ(config.GameName, "テストゲーム");
    EXPECT_EQ(Text(config.InstallDir), "TestGame");
    EXPECT_EQ(Text(config.ShortCut), "テスト\\ゲーム");
    EXPECT_EQ(config.ShortCut_GDI, "テストゲーム (GDI)");
    EXPECT_EQ(config.Movie, "");
    EXPECT_EQ(config.WallPaper, "image\\wall.bmp");
    EXPECT_EQ(config.FileCount, 2);
    EXPECT_EQ(config.Files, (std::vector<std::string>{"readme.txt", "bin\\game.exe"}));
    EXPECT_TRUE(config.Usable());
}

TEST(SetupConfig, OtherLetterCasesAreFound)
{
    const setup::SetupConfig config =
        setup::ParseSetupConfig("[setup]\ngamename=G\ninstalldir=D\n[FILES]\ncount=1\nfile1=a\n");
    EXPECT_EQ(config.GameName, "G");
    EXPECT_EQ(Text(config.InstallDir), "D");
    EXPECT_EQ(config.Files, std::vector<std::string>{"a"});
}

TEST(SetupConfig, ExecutablePositionFollowsMovie)
{
    const std::string files = "Count=4\r\nFile1=movie\\demo.avi\r\nFile2=data.pak\r\nFile3=game.exe\r\nFile4=game_gdi.exe\r\n";
    const setup::SetupConfig withMovie = setup::ParseSetupConfig(WithFiles("demo.avi", files));
    ASSERT_EQ(withMovie.Files.size(), 4u);
    EXPECT_EQ(FileNamePart(withMovie.Files[0]), withMovie.Movie);
    EXPECT_EQ(withMovie.Files[2], "game.exe");
    EXPECT_EQ(withMovie.Files[3], "game_gdi.exe");

    const setup::SetupConfig noMovie =
        setup::ParseSetupConfig(WithFiles("", "Count=3\r\nFile1=readme.txt\r\nFile2=game.exe\r\nFile3=game_gdi.exe\r\n"));
    ASSERT_EQ(noMovie.Files.size(), 3u);
    EXPECT_EQ(noMovie.Files[1], "game.exe");
    EXPECT_EQ(noMovie.Files[2], "game_gdi.exe");
}

TEST(SetupConfig, CountDecidesTheList)
{
    struct Case {
        const char* name;
        std::string files;
        int32_t count;
        std::vector<std::string> entries;
        bool usable;
    };
    std::vector<std::string> sixteen;
    for (int n = 1; n <= 16; ++n) sixteen.push_back(n == 1 ? "a" : "");
    const std::vector<Case> cases = {
        {"hexadecimal", "Count=0x10\nFile1=a\n", 16, sixteen, true},
        {"not a number", "Count=abc\nFile1=a\n", 0, {}, true},
        {"negative", "Count=-3\nFile1=a\n", -3, {}, true},
        {"zero", "Count=0\nFile1=a\n", 0, {}, true},
        {"missing", "File1=a\n", 0, {}, true},
        {"gap in the keys", "Count=3\nFile1=a\nFile3=c\n", 3, {"a", "", "c"}, true},
        {"keys out of order", "File2=b\nCount=2\nFile1=a\nFile3=c\n", 2, {"a", "b"}, true},
        {"empty and duplicate entries", "Count=3\nFile1=a\nFile2=\nFile3=a\nfile1=x\n", 3, {"a", "", "a"}, true},
        {"overflow", "Count=99999999999\nFile1=a\n", 0, {}, true},
        {"above the maximum", "Count=100001\nFile1=a\n", 100001, {}, false},
        {"largest integer", "Count=0x7FFFFFFF\nFile1=a\n", INT32_MAX, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const setup::SetupConfig config = setup::ParseSetupConfig(WithFiles("", c.files));
        EXPECT_EQ(config.FileCount, c.count);
        EXPECT_EQ(config.Files, c.entries);
        EXPECT_EQ(config.Usable(), c.usable);
    }
}

TEST(SetupConfig, LargestUsableCount)
{
    const setup::SetupConfig config = setup::ParseSetupConfig(WithFiles("", "Count=100000\nFile100000=last\nFile100001=x\n"));
    EXPECT_TRUE(config.Usable());
    ASSERT_EQ(config.Files.size(), 100000u);
    EXPECT_EQ(config.Files.front(), "");
    EXPECT_EQ(config.Files.back(), "last");
}

TEST(SetupConfig, HugeCountIsRefusedQuickly)
{
    const auto start = std::chrono::steady_clock::now();
    const setup::SetupConfig config = setup::ParseSetupConfig(WithFiles("", "Count=0x7FFFFFFF\n"));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(config.Usable());
    EXPECT_TRUE(config.Files.empty());
    EXPECT_LT(elapsed, std::chrono::seconds(1));
}

TEST(SetupConfig, EmptyInstallDirIsUnusable)
{
    for (const char* text : {"", "[Setup]\nGameName=G\n", "[Setup]\nInstallDir=\n", "[Setup]\nInstallDir=  \"\" \n",
                             "[Other]\nInstallDir=D\n", "InstallDir=D\n[Setup]\n"}) {
        SCOPED_TRACE(text);
        const setup::SetupConfig config = setup::ParseSetupConfig(text);
        EXPECT_EQ(Text(config.InstallDir), "");
        EXPECT_FALSE(config.Usable());
    }
}

TEST(SetupConfig, AnInstallDirThatIsNoFolderOfItsOwnIsUnusable)
{
    for (const char* value : {"..", "..\\..", "\\", "C:\\Games", "A\\\\B", "NUL", "a/b", "Microsoft"}) {
        SCOPED_TRACE(value);
        EXPECT_FALSE(setup::ParseSetupConfig(std::string("[Setup]\nInstallDir=") + value + "\n").Usable());
    }
    EXPECT_TRUE(setup::ParseSetupConfig("[Setup]\nInstallDir=A\\B\n").Usable());
}

// The Start-menu folder is held to the same rule: one below the Programs folder, or none at all.
TEST(SetupConfig, AShortCutThatLeavesTheProgramsFolderIsUnusable)
{
    const struct {
        const char* value;
        bool usable;
    } cases[] = {
        {"..\\..\\..\\..\\..\\..\\Photos", false},  // the profile's Photos
        {"..\\..\\..\\..\\..\\..\\..\\..\\..", false},  // the drive's root
        {"C:\\Games", false}, {"A/B", false}, {"A\\", false}, {"NUL", false},
        {"見本\\ゲーム", true}, {"", true},  // empty: the game has no Start-menu folder
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const setup::SetupConfig config = setup::ParseSetupConfig(std::string("[Setup]\nInstallDir=G\nShortCut=") + c.value + "\n");
        EXPECT_EQ(config.Usable(), c.usable);
        EXPECT_EQ(Text(config.ShortCut), c.usable ? c.value : "");
    }
}

TEST(SetupConfig, IniPathReplacesTheExtension)
{
    struct Case {
        const char* program;
        const char* ini;
    };
    const Case cases[] = {
        {"C:\\disc\\Setup.exe", "C:\\disc\\Setup.ini"},
        {"C:\\a.b\\Setup", "C:\\a.b\\Setup.ini"},
        {"C:\\disc\\Setup.", "C:\\disc\\Setup.ini"},
        {"C:\\disc\\Setup.old.exe", "C:\\disc\\Setup.old.ini"},
        {"D:Setup.exe", "D:Setup.ini"},
        {"D:.x\\Setup", "D:.x\\Setup.ini"},
        {"Setup", "Setup.ini"},
        {"C:\\ゲームソ\\Setup.exe", "C:\\ゲームソ\\Setup.ini"},
        {"C:\\ソ.表\\Setup", "C:\\ソ.表\\Setup.ini"},
        // The 0x5C of ソ is no separator: the dot before it still starts the extension.
        {"C:\\disc\\Setup.ソ", "C:\\disc\\Setup.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        EXPECT_EQ(setup::IniPathFor(c.program), c.ini);
    }
}

TEST(SetupConfigFile, MissingFileIsUnusable)
{
    TempFolder folder("ini_test_ソ");
    ASSERT_TRUE(folder.Made());
    const setup::SetupConfig config = setup::LoadSetupConfig(folder.PathOf("Setup.ini"));
    EXPECT_FALSE(config.Usable());
    EXPECT_EQ(config.GameName, "");
    EXPECT_EQ(config.FileCount, 0);
    EXPECT_TRUE(config.Files.empty());
}

TEST(SetupConfigFile, ReadsTheWholeFileUnderAJapanesePath)
{
    TempFolder folder("ini_test_ソ");
    ASSERT_TRUE(folder.Made());
    std::string files = "Count=3\r\nFile1=表示.txt\r\nFile2=ソフト\\game.exe\r\n";
    files += "File3=" + std::string(3000, 'x') + "\r\n";  // beyond the first read of a careless reader
    const std::string path = folder.Write("セットアップ.ini", WithFiles("", files));
    const setup::SetupConfig config = setup::LoadSetupConfig(path);
    EXPECT_TRUE(config.Usable());
    EXPECT_EQ(config.GameName, "テストゲーム");
    ASSERT_EQ(config.Files.size(), 3u);
    EXPECT_EQ(config.Files[1], "ソフト\\game.exe");
    EXPECT_EQ(config.Files[2], std::string(2047, 'x'));
}

TEST(SetupConfigFile, OversizedFileIsNotRead)
{
    TempFolder folder("ini_test_ソ");
    ASSERT_TRUE(folder.Made());
    const std::string head = WithFiles("", "Count=1\r\nFile1=a\r\n");
    const std::string limit = folder.Write("limit.ini", head + std::string(16 * 1024 * 1024 - head.size(), ' '));
    EXPECT_TRUE(setup::LoadSetupConfig(limit).Usable());
    const std::string over = folder.Write("over.ini", head + std::string(16 * 1024 * 1024 + 1 - head.size(), ' '));
    EXPECT_FALSE(setup::LoadSetupConfig(over).Usable());
}
