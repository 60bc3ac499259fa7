// The folder operations' own rules: which backslashes separate levels, what a creation makes, and
// which folders the guard never lets be emptied or removed.

#include "setup/Guard.h"
#include "util/FolderPaths.h"
#include "util/Folders.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "util/Cp932.h"
#include "util/Names.h"

namespace {

using Strings = std::vector<std::string>;

TEST(FolderPaths, TheRemovalWalkGoesByWholeCharactersAndNeverReachesTheDrive)
{
    const struct {
        std::string path;
        Strings parents;
    } cases[] = {
        {"C:\\Games\\Foo", {"C:\\Games"}},
        {"C:\\Foo", {}},
        {"C:\\ソ\\表\\Foo", {"C:\\ソ\\表", "C:\\ソ"}},  // ソ and 表 end in 0x5C
        {"C:\\ソフト見本", {}},
        {"\\\\server\\share\\A\\B", {"\\\\server\\share\\A", "\\\\server\\share", "\\\\server", "\\"}},
    };
    for (const auto& c : cases) EXPECT_EQ(folders::ParentsToRemove(c.path), c.parents) << c.path;

    // Only the first 100 separators count: the walk starts from the 100th and ends at the 2nd.
    std::string deep = "C:";
    for (int n = 0; n < 150; ++n) deep += "\\d";
    const Strings parents = folders::ParentsToRemove(deep);
    ASSERT_EQ(parents.size(), 99u);
    EXPECT_EQ(parents.front(), deep.substr(0, 2 + 99 * 2));
    EXPECT_EQ(parents.back(), "C:\\d");
    EXPECT_EQ(folders::SeparatorOffsets(deep).size(), folders::kMaxSeparators);
}

TEST(FolderPaths, CreationLevelsSkipTheFirstLevel)
{
    const struct {
        std::string path;
        Strings levels;
    } cases[] = {
        {"C:\\A\\B", {"C:\\A", "C:\\A\\B"}},
        {"C:\\A\\", {"C:\\A", "C:\\A\\"}},  // the last attempt repeats the folder: not newly made
        {"C:\\ソ\\表", {"C:\\ソ", "C:\\ソ\\表"}},
        {"C:\\", {"C:\\"}},
        {"A", {"A"}},
        {"", {}},
        {"\\\\server\\share\\A", {"\\\\server\\share\\A"}},
    };
    for (const auto& c : cases) EXPECT_EQ(folders::LevelsToCreate(c.path), c.levels) << c.path;
    EXPECT_TRUE(folders::EndsInLoneLeadByte("C:\\A\x83"));
    EXPECT_FALSE(folders::EndsInLoneLeadByte("C:\\ソ"));
}

TEST(FolderPaths, RootsAndRelativePaths)
{
    const struct {
        const char* path;
        bool relative, root;
    } cases[] = {
        {"", true, false},           {"Games", true, false},         {"\\Games", true, false},
        {"C:Games", true, false},    {"C:", false, true},            {"C:\\", false, true},
        {"t:/", false, true},        {"\\\\srv\\share", false, true}, {"\\\\srv\\share\\", false, true},
        {"\\\\srv", false, true},    {"\\\\?\\C:\\A", false, true},  {"C:\\Games", false, false},
        {"\\\\srv\\share\\A", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(folders::IsRelativePath(c.path), c.relative) << c.path;
        EXPECT_EQ(folders::IsDriveOrShareRoot(c.path), c.root) << c.path;
    }
}

std::string Known(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (::SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return {};
    return cp932::FromWideLossy(path);
}

std::string ShortSpelling(const std::string& path)
{
    wchar_t shorter[MAX_PATH] = {};
    const DWORD length = ::GetShortPathNameW(testsupport::Wide(path).c_str(), shorter, MAX_PATH);
    return length > 0 && length < MAX_PATH ? cp932::FromWideLossy(shorter) : std::string();
}

TEST(Folders, TheGuardRefusesKnownFoldersAndWhatLiesAboveThem)
{
    // Every folder of the system's and the player's own that the guard names.
    const int refused[] = {
        CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_SYSTEMX86, CSIDL_FONTS, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
        CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_PROFILE, CSIDL_DESKTOPDIRECTORY,
        CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_COMMON_DOCUMENTS, CSIDL_MYMUSIC, CSIDL_MYPICTURES,
        CSIDL_MYVIDEO, CSIDL_FAVORITES, CSIDL_TEMPLATES, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_COMMON_APPDATA,
        CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU, CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, CSIDL_STARTUP,
        CSIDL_COMMON_STARTUP,
    };
    for (const int csidl : refused) {
        const std::string path = Known(csidl);
        ASSERT_FALSE(path.empty()) << csidl;
        const std::string shorter = ShortSpelling(path);  // C:\PROG~FBU for C:\Program Files
        ASSERT_FALSE(shorter.empty()) << path;
        for (const std::string& spelling : {path + "\\", path + "\\x\\..", shorter, shorter + "\\", LowerAscii(path)})
            EXPECT_FALSE(setup::MayEmptyOrRemove(spelling)) << spelling;
        EXPECT_TRUE(setup::MayEmptyOrRemove(shorter + "\\見本ゲーム")) << shorter;
    }
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_GT(::GetTempPathW(MAX_PATH + 1, temp), 0u);
    EXPECT_FALSE(setup::MayEmptyOrRemove(cp932::FromWideLossy(temp)));  // emptied by a rollback's walk, not removed
    const std::string profile = Known(CSIDL_PROFILE);
    EXPECT_FALSE(setup::MayEmptyOrRemove(profile.substr(0, profile.rfind('\\'))));  // the folder of all profiles
    for (const char* root : {"", "Games", "C:", "C:\\", "C:Games", "T:\\", "\\\\srv\\share", "C:\\Games\\..",
                             "C:\\Games:MihonGame", "C:\\Games\\NUL:x"})
        EXPECT_FALSE(setup::MayEmptyOrRemove(root)) << root;
    EXPECT_TRUE(setup::MayEmptyOrRemove("C:\\Games"));
}

// A known folder that the system names in short spelling still guards its long spelling.
TEST(Folders, TheGuardKnowsAKnownFolderNamedShort)
{
    const testsupport::TempFolder temp("known");
    const std::string documents = temp.PathOf("Long Named Documents");
    ASSERT_TRUE(temp.Made() && CreateFolderPath(documents));
    const std::string shorter = ShortSpelling(documents);
    ASSERT_NE(shorter.find('~'), std::string::npos) << shorter;
    struct Personal {  // the Documents folder's setting, put back however the test ends
        HKEY key = nullptr;
        wchar_t saved[MAX_PATH + 1] = {};
        LSTATUS Set(const wchar_t* value) const
        {
            return ::RegSetValueExW(key, L"Personal", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value),
                                    static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
        }
        ~Personal()
        {
            if (saved[0]) (void)Set(saved);
            ::RegCloseKey(key);
        }
    } personal;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                              0, KEY_QUERY_VALUE | KEY_SET_VALUE, &personal.key), ERROR_SUCCESS);
    DWORD size = sizeof personal.saved - sizeof(wchar_t);
    ASSERT_EQ(::RegQueryValueExW(personal.key, L"Personal", nullptr, nullptr, reinterpret_cast<BYTE*>(personal.saved),
                                 &size), ERROR_SUCCESS);
    ASSERT_EQ(personal.Set(testsupport::Wide(shorter).c_str()), ERROR_SUCCESS);
    ASSERT_EQ(Known(CSIDL_PERSONAL), shorter);
    EXPECT_FALSE(setup::MayEmptyOrRemove(documents));
    EXPECT_FALSE(setup::MayEmptyOrRemove(temp.Path()));
    EXPECT_TRUE(setup::MayEmptyOrRemove(documents + "\\見本ゲーム"));
}

// The game's own folder: its last level is InstallDir's last level, exactly, and the guard passes.
TEST(Folders, TheGameFolderBearsTheGamesName)
{
    const std::string windows = Known(CSIDL_WINDOWS);
    const struct {
        std::string folder;
        const char* installDir;
        bool game;
    } cases[] = {
        {"C:\\Games\\MihonGame", "MihonGame", true},
        {"C:\\MihonGame", "MihonGame", true},
        {"C:\\Games\\mihongame", "MihonGame", false},  // letter case counts, as in the name check
        {"C:\\MyPhotos", "MihonGame", false},
        {"C:\\MyPhotos\\MihonGame\\..", "MihonGame", false},
        {"C:\\Games\\ソフト見本", "ソフト見本", true},    // ソ ends in 0x5C
        {"C:\\ソ", "見本", false},
        {"C:\\Games\\見本\\ソ", "見本\\ソ", true},
        {"C:\\Other\\ソ", "見本\\ソ", true},              // the last level is what the name check compares
        {"C:\\Games\\MihonParent", "MihonParent\\MihonGame", false},
        {"MihonGame", "MihonGame", false},                  // relative
        {"C:\\Games:MihonGame", "MihonGame", false},       // a stream, not a folder
        {windows, "Windows", false},
        {windows.substr(0, 3) + "Windows", "Windows", false},
        {"C:\\Games/MihonGame", "MihonGame", true},       // a slash separates levels too
        {"C:\\Games\\ドラゴン", "ドラゴン", true},          // ン's second byte looks like a lead byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(setup::IsGameFolder(c.folder, testsupport::Folder(c.installDir)), c.game) << c.folder << " " << c.installDir;
}

// Both Program Files folders and both Common Files folders, also where a 32-bit process is told only
// the 32-bit ones.
TEST(Folders, TheGuardKnowsTheNativeProgramFilesFolders)
{
    const std::string drive = Known(CSIDL_WINDOWS).substr(0, 2);
    for (const std::string& folder : {drive + "\\Program Files", drive + "\\Program Files\\Common Files"}) {
        EXPECT_FALSE(setup::MayEmptyOrRemove(folder)) << folder;
        EXPECT_TRUE(setup::MayEmptyOrRemove(folder + "\\MihonGame")) << folder;
    }
}

// A folder named like the game that is a link is judged where it leads too. A game folder moved
// away and linked back bears the game's name there too and stays the game's own.
TEST(Folders, ALinkIsJudgedWhereItLeads)
{
    const testsupport::TempFolder temp("links");
    ASSERT_TRUE(temp.Made());
    const struct {
        const char* link;
        std::string target;
        bool game, mayRemove;
    } cases[] = {
        {"Games\\MihonGame", temp.PathOf("Saves"), false, true},
        {"MihonGame", Known(CSIDL_PERSONAL), false, false},
        {"Linked\\MihonGame", temp.PathOf("Store\\MihonGame"), true, true},
    };
    for (const auto& c : cases) {
        const std::string link = temp.PathOf(c.link);
        (void)CreateFolderPath(c.target);
        (void)CreateFolderPath(link.substr(0, link.rfind('\\')));
        ASSERT_TRUE(testsupport::MakeLink(link, c.target));
        EXPECT_EQ(setup::IsGameFolder(link, testsupport::Folder("MihonGame")), c.game) << c.link;
        EXPECT_EQ(setup::MayEmptyOrRemove(link), c.mayRemove) << c.link;
        testsupport::RemoveLink(link);
    }
}

TEST(Folders, CreateFolderPathMakesEveryLevelAndTellsWhetherTheLastIsNew)
{
    const testsupport::TempFolder temp("folders");
    ASSERT_TRUE(temp.Made());
    const std::string nested = temp.PathOf("ソ\\表");
    EXPECT_TRUE(CreateFolderPath(nested));
    EXPECT_TRUE(testsupport::Exists(nested));
    EXPECT_FALSE(CreateFolderPath(nested));
    EXPECT_FALSE(CreateFolderPath(temp.PathOf("new\\")));  // made, but its second attempt fails
    EXPECT_TRUE(testsupport::Exists(temp.PathOf("new")));

    const std::string tooLong = temp.PathOf("long\\" + std::string(259 - temp.Path().size() - 5, 'x'));
    ASSERT_EQ(tooLong.size(), 260u);
    EXPECT_FALSE(CreateFolderPath(tooLong));
    EXPECT_FALSE(CreateFolderPath(temp.PathOf("half\\a\x83")));
    EXPECT_FALSE(testsupport::Exists(temp.PathOf("long")));
    EXPECT_FALSE(testsupport::Exists(temp.PathOf("half")));
}

// The levels a creation reports are those it made; whether the path is a folder tells one that
// exists from one that cannot be made; the removal takes back the levels made, when left empty.
TEST(Folders, CreateFolderPathReportsTheLevelsItMade)
{
    const testsupport::TempFolder temp("levels");
    ASSERT_TRUE(temp.Made());
    temp.Write("file", std::string());
    const struct {
        std::string path;
        bool made, folder;
        Strings levels;
    } cases[] = {
        {temp.PathOf("ソ\\表"), true, true, {temp.PathOf("ソ"), temp.PathOf("ソ\\表")}},
        {temp.PathOf("ソ\\表"), false, true, {}},
        {temp.PathOf("file\\game"), false, false, {}},
        {temp.PathOf("gone\\bad|name"), false, false, {temp.PathOf("gone")}},
    };
    for (const auto& c : cases) {
        FolderLevels levels;
        EXPECT_EQ(CreateFolderPath(c.path, levels), c.made) << c.path;
        EXPECT_EQ(levels.folder, c.folder) << c.path;
        EXPECT_EQ(levels.made, c.levels) << c.path;
        if (c.made) temp.Write("ソ\\表\\kept", std::string());
        setup::RemoveLevelsMade(levels);
    }
    EXPECT_EQ(testsupport::Listing(temp.Path()), (Strings{"file", "ソ"}));
    EXPECT_EQ(testsupport::Listing(temp.PathOf("ソ\\表")), Strings{"kept"});
}

}  // namespace
