// The uninstall's safety rules, checked on real files and keys: exactly the listed names and the
// game's save files go, only in the game's own folder, and only the game's own record key.

#include "setup/Uninstall.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/HandOver.h"
#include "setup/InstallRecord.h"
#include "setup/ProgramsEntry.h"
#include "util/Cp932.h"
#include "util/Folders.h"
#include "util/Handles.h"
#include "util/Registry.h"
#include "util/Shell.h"

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

constexpr setup::Choices kEverything{true, true, true};

TEST(Uninstall, TheSaveFilesAreTheGamesHundredAndFour)
{
    const Names saves = setup::SaveFileNames();
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
    for (const std::string& name : setup::SaveFileNames()) WriteFileAt(dir + "\\" + name);
    const Names kept = {"Save0.dat", "Save100.dat", "Save1000.dat", "Save701.dat", "SaveXXX.txt", "player.txt", "sub"};
    for (const std::string& name : kept)
        if (name != "sub") WriteFileAt(dir + "\\" + name);
    WriteFileAt(dir + "\\sub\\Save000.dat");
    WriteFileAt(temp.PathOf("MihonGameSave000.dat"));  // beside the folder, as a Dir without its backslash would name it
    const std::string key = "Software\\SetupUnitParent\\MihonGame";
    MakeKey(key);

    const setup::InstalledCopy copy{dir + "\\", Folder("SetupUnitParent\\MihonGame"), std::nullopt, listed};
    EXPECT_EQ(setup::RemoveInstalledCopy(copy, {false, true, true}), setup::Removal::Complete);
    EXPECT_EQ(Listing(dir), kept);
    EXPECT_EQ(Listing(dir + "\\sub"), Names{"Save000.dat"});
    EXPECT_FALSE(KeyExists(key));
    EXPECT_TRUE(KeyExists("Software\\SetupUnitParent"));
    DeleteKeys("Software\\SetupUnitParent");

    ::DeleteFileW(Wide(dir + "\\sub\\Save000.dat").c_str());
    ::RemoveDirectoryW(Wide(dir + "\\sub").c_str());
    EXPECT_EQ(setup::RemoveInstalledCopy({dir, Folder("MihonGame"), std::nullopt, listed}, kEverything),
              setup::Removal::Complete);
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
        EXPECT_EQ(setup::RemoveInstalledCopy({dir + "\\", Folder(name), std::nullopt, {"game.exe"}}, kEverything),
                  setup::Removal::Complete);
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
        EXPECT_EQ(setup::RemoveInstalledCopy({temp.PathOf(c.dir), Folder("MihonGame"), std::nullopt,
                                                           {"game.exe"}}, kEverything),
                  setup::Removal::Complete);
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
        EXPECT_FALSE(setup::FolderName::ParseInstallDir(installDir)) << installDir;
    (void)setup::RemoveInstalledCopy({"", Folder("SetupUnitKey\\Sub"), std::nullopt, {}}, kEverything);
    EXPECT_FALSE(KeyExists("Software\\SetupUnitKey\\Sub"));
    EXPECT_TRUE(KeyExists("Software\\SetupUnitKey"));
    DeleteKeys("Software\\SetupUnitKey");
}

// The game's folder moved elsewhere and linked back: the uninstall goes through the link. A link
// among the game's files is never followed: what it leads to stays, whatever becomes of the link.
TEST(Uninstall, AMovedFolderGoesAndALinkInItLeadsToNothingOfThePlayers)
{
    const testsupport::TempFolder temp("uninstall-links");
    ASSERT_TRUE(temp.Made());
    const std::string saves = temp.PathOf("Saves");
    const std::string moved = temp.PathOf("Store\\MihonGame");
    const std::string link = temp.PathOf("MihonGame");
    ASSERT_TRUE(CreateFolderPath(saves) && CreateFolderPath(moved));
    for (const char* name : {"game.exe", "Save000.dat"}) WriteFileAt(moved + "\\" + name);
    WriteFileAt(saves + "\\precious.txt");
    ASSERT_TRUE(testsupport::MakeLink(moved + "\\data.dat", saves + "\\precious.txt"));
    ASSERT_TRUE(testsupport::MakeLink(link, moved));
    const setup::Removal removal = setup::RemoveInstalledCopy(
        {link + "\\", Folder("SetupUnitLinked\\MihonGame"), std::nullopt, {"game.exe", "data.dat"}}, kEverything);
    EXPECT_EQ(Listing(saves), Names{"precious.txt"});
    const bool linkLeft = testsupport::Exists(moved + "\\data.dat");  // under Wine, which cannot delete it as a link
    EXPECT_EQ(removal, linkLeft ? setup::Removal::FilesRemain : setup::Removal::Complete);
    EXPECT_EQ(Listing(moved), linkLeft ? Names{"data.dat"} : Names{});
    if (linkLeft) testsupport::RemoveLink(moved + "\\data.dat");
    testsupport::RemoveLink(link);
}

// The game still running holds a file without sharing: the record and the list entry stay, and once
// it has ended the same uninstall finishes.
TEST(Uninstall, AFileHeldOpenKeepsTheRecordUntilTheNextRun)
{
    const testsupport::TempFolder temp("uninstall-locked");
    ASSERT_TRUE(temp.Made());
    const std::string dir = temp.PathOf("SetupUnitLocked");
    ASSERT_TRUE(::CreateDirectoryW(Wide(dir).c_str(), nullptr));
    WriteFileAt(temp.PathOf("beside.txt"));  // keeps the test's folder from the walk up
    ASSERT_TRUE(setup::record::Write(Folder("SetupUnitLocked"), dir).opened);
    const std::string entry = setup::entry::EntryKey(Folder("SetupUnitLocked"));
    MakeKey(entry);
    const setup::InstalledCopy copy{dir + "\\", Folder("SetupUnitLocked"), std::nullopt, {"game.exe", "data.dat"}};
    const struct {
        const char* held;
        setup::Choices choices;
    } cases[] = {{"game.exe", kEverything}, {"Save000.dat", {false, true, true}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.held);
        for (const char* name : {"game.exe", "data.dat", "Save000.dat"}) WriteFileAt(dir + "\\" + name);
        FileHandle held(::CreateFileW(Wide(dir + "\\" + c.held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(setup::RemoveInstalledCopy(copy, c.choices), setup::Removal::FilesRemain);
        EXPECT_EQ(Listing(dir), Names{c.held});
        EXPECT_EQ(setup::record::Read(Folder("SetupUnitLocked")).text, dir + "\\");
        EXPECT_TRUE(KeyExists(entry));
    }
    EXPECT_EQ(setup::RemoveInstalledCopy(copy, kEverything), setup::Removal::Complete);
    EXPECT_FALSE(testsupport::Exists(dir));
    EXPECT_FALSE(KeyExists("Software\\SetupUnitLocked"));
    EXPECT_FALSE(KeyExists(entry));
}

// A hand-over whose copy cannot start leaves no folder behind, and the folders that earlier
// hand-overs left go once no process runs their copy (whose file then refuses writing).
TEST(Uninstaller, AHandOverLeavesNoFolderAndClearsFinishedOnes)
{
    std::string local;
    ASSERT_TRUE(GetSpecialFolderPath(nullptr, local, CSIDL_LOCAL_APPDATA, true));
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_GT(::GetTempPathW(MAX_PATH + 1, temp), 0u);
    const std::string uninstallerFolder = local + "\\SetupUnitHand Uninstall";
    const std::string earlier = cp932::FromWideLossy(temp) + "SetupUnitHand Uninstall ";
    const std::pair<std::string, bool> folders[] = {  // stays?
        {uninstallerFolder, true}, {earlier + "7", false}, {earlier + "8", true}, {earlier + "9", false}, {earlier + "x", true}};
    for (const auto& [folder, stays] : folders) {
        ASSERT_TRUE(::CreateDirectoryW(Wide(folder).c_str(), nullptr)) << folder;
        if (folder != earlier + "9") WriteFileAt(folder + "\\Setup.exe", "not a program");  // 9: cut short
        WriteFileAt(folder + "\\Setup.ini");
    }
    {
        const FileHandle running(::CreateFileW(Wide(earlier + "8\\Setup.exe").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                               nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(HandOver(uninstallerFolder + "\\Setup.exe"));
    }
    EXPECT_FALSE(testsupport::Exists(earlier + std::to_string(::GetCurrentProcessId())));
    for (const auto& [folder, stays] : folders) {
        EXPECT_EQ(testsupport::Exists(folder), stays) << folder;
        for (const char* file : {"\\Setup.exe", "\\Setup.ini"}) ::DeleteFileW(Wide(folder + file).c_str());
        ::RemoveDirectoryW(Wide(folder).c_str());
    }
}

}  // namespace
