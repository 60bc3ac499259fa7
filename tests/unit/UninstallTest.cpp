// The uninstall's safety rules, checked on real files and keys: exactly the listed names and the
// game's save files go, only in the game's own folder, and only the game's own record key.

#include "uninstall/Uninstall.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "util/Registry.h"
#include "util/Cp932.h"
#include "util/Handles.h"

namespace {

using testsupport::Folder;
using testsupport::Listing;
using testsupport::WriteFileAt;
using testsupport::Wide;
using Names = std::vector<std::string>;

bool KeyExists(const std::string& path)
{
    RegKey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

void MakeKey(const std::string& path)
{
    RegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(),
                                nullptr),
              ERROR_SUCCESS);
}

void DeleteKeys(const std::string& path) { (void)CRegistry(HKEY_CURRENT_USER).DeleteKey(path); }

constexpr uninstall::Choices kEverything{true, true, true};

TEST(Uninstall, TheSaveFilesAreTheGamesHundredAndFour)
{
    const Names saves = uninstall::SaveFileNames();
    ASSERT_EQ(saves.size(), 104u);
    EXPECT_EQ(std::set<std::string>(saves.begin(), saves.end()).size(), 104u);
    const std::pair<size_t, const char*> spots[] = {{0, "Save000.dat"},   {7, "Save007.dat"},   {42, "Save042.dat"},
                                                    {99, "Save099.dat"},  {100, "Save700.dat"}, {101, "Save800.dat"},
                                                    {102, "Save900.dat"}, {103, "SaveXXX.dat"}};
    for (const auto& [at, name] : spots) EXPECT_EQ(saves[at], name) << at;
}

// With the Start-menu box cleared: the listed names and exactly the save files, nothing else, and the
// folder stays for what is left in it. With every box: the folder goes.
TEST(Uninstall, OnlyTheListedNamesAndTheSavesGoThenEveryBoxTakesTheFolder)
{
    const testsupport::TempFolder temp("uninstall");
    ASSERT_TRUE(temp.Made());
    const std::string dir = temp.PathOf("MihonGame");
    ASSERT_TRUE(::CreateDirectoryW(Wide(dir).c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(Wide(dir + "\\sub").c_str(), nullptr));
    const Names listed = {"game.exe", "data.dat", "ソ.txt"};
    for (const std::string& name : listed) WriteFileAt(dir + "\\" + name);
    for (const std::string& name : uninstall::SaveFileNames()) WriteFileAt(dir + "\\" + name);
    const Names kept = {"Save0.dat", "Save100.dat", "Save1000.dat", "Save701.dat", "SaveXXX.txt", "player.txt", "sub"};
    for (const std::string& name : kept)
        if (name != "sub") WriteFileAt(dir + "\\" + name);
    WriteFileAt(dir + "\\sub\\Save000.dat");
    WriteFileAt(temp.PathOf("MihonGameSave000.dat"));  // beside the folder, as a Dir without its backslash would name it
    const std::string key = "Software\\SetupUnitParent\\MihonGame";
    MakeKey(key);

    const uninstall::InstalledCopy copy{dir + "\\", Folder("SetupUnitParent\\MihonGame"), std::nullopt, listed};
    uninstall::RemoveInstalledCopy(nullptr, copy, {false, true, true});
    EXPECT_EQ(Listing(dir), kept);
    EXPECT_EQ(Listing(dir + "\\sub"), Names{"Save000.dat"});
    EXPECT_FALSE(KeyExists(key));
    EXPECT_TRUE(KeyExists("Software\\SetupUnitParent"));
    DeleteKeys("Software\\SetupUnitParent");

    ::DeleteFileW(Wide(dir + "\\sub\\Save000.dat").c_str());
    ::RemoveDirectoryW(Wide(dir + "\\sub").c_str());
    uninstall::RemoveInstalledCopy(nullptr, {dir, Folder("MihonGame"), std::nullopt, listed}, kEverything);
    EXPECT_EQ(Listing(temp.Path()), Names{"MihonGameSave000.dat"});
}

// A folder name that ends in a character whose second byte lies in the lead-byte range (ン is
// 0x83 0x93) keeps its last level when the record's final backslash is dropped.
TEST(Uninstall, EveryJapaneseFolderNameUninstalls)
{
    for (const char* name : {"ドラゴン", "表", "能", "ゴ"}) {
        SCOPED_TRACE(name);
        const testsupport::TempFolder temp("japanese");
        ASSERT_TRUE(temp.Made());
        const std::string dir = temp.PathOf(name);
        ASSERT_TRUE(::CreateDirectoryW(Wide(dir).c_str(), nullptr));
        for (const char* file : {"game.exe", "Save000.dat", "extra.txt"}) WriteFileAt(dir + "\\" + file);
        WriteFileAt(temp.PathOf("beside.txt"));
        uninstall::RemoveInstalledCopy(nullptr, {dir + "\\", Folder(name), std::nullopt, {"game.exe"}}, kEverything);
        EXPECT_EQ(Listing(temp.Path()), Names{"beside.txt"});
    }
}

// A record whose Dir is not the game's own folder: whatever it holds stays, folder and parents too,
// and the record still goes.
TEST(Uninstall, NothingGoesInAFolderThatIsNotTheGamesOwn)
{
    const struct {
        const char* folder;  // the player's, holding their files
        const char* dir;     // what the record says
    } cases[] = {{"MyPhotos", "MyPhotos\\"}, {"MyPhotos", "MyPhotos\\MihonGame\\..\\"}, {"mihongame", "mihongame\\"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dir);
        const testsupport::TempFolder temp("foreign");
        ASSERT_TRUE(temp.Made());
        const std::string folder = temp.PathOf(c.folder);
        ASSERT_TRUE(::CreateDirectoryW(Wide(folder).c_str(), nullptr));
        const Names photos = {"Save000.dat", "diary.txt", "game.exe", "photo1.jpg"};
        for (const std::string& name : photos) WriteFileAt(folder + "\\" + name);
        MakeKey("Software\\MihonGame");
        uninstall::RemoveInstalledCopy(nullptr, {temp.PathOf(c.dir), Folder("MihonGame"), std::nullopt, {"game.exe"}},
                                       kEverything);
        EXPECT_EQ(Listing(folder), photos);
        EXPECT_FALSE(KeyExists("Software\\MihonGame"));
    }
}

// Names that the registry would read as another key (Software\A\ is Software\A) are no folder
// names, so no uninstall is ever given one; the game's own key goes, its parent stays.
TEST(Uninstall, OnlyTheGamesOwnKeyIsDeleted)
{
    MakeKey("Software\\SetupUnitKey\\Sub");
    for (const char* installDir :
         {"SetupUnitKey\\", "\\SetupUnitKey", "SetupUnitKey\\\\Sub", "SetupUnitKey\\Sub\\..", "SetupUnitKey\\Sub\\.",
          "SetupUnitKey\\Sub\x81", ""})
        EXPECT_FALSE(FolderName::ParseInstallDir(installDir)) << installDir;
    uninstall::RemoveInstalledCopy(nullptr, {"", Folder("SetupUnitKey\\Sub"), std::nullopt, {}}, kEverything);
    EXPECT_FALSE(KeyExists("Software\\SetupUnitKey\\Sub"));
    EXPECT_TRUE(KeyExists("Software\\SetupUnitKey"));
    DeleteKeys("Software\\SetupUnitKey");
}

}  // namespace
