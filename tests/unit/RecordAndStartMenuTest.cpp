// The install record and the Start-menu folder, as the installation and the uninstall use them.

#include "setup/InstallRecord.h"
#include "setup/StartMenu.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "util/Shell.h"

namespace {

TEST(InstallRecord, WrittenReadAndDeletedOnlyUnderTheGamesOwnKey)
{
    for (const char* text : {"SetupUnitGame", "SetupUnitParent\\見本ゲーム"}) {
        SCOPED_TRACE(text);
        const setup::FolderName installDir = testsupport::Folder(text);
        const setup::record::Written written = setup::record::Write(installDir, "D:\\ゲーム\\ソ");
        EXPECT_TRUE(written.opened);
        EXPECT_EQ(written.readBack.text, "D:\\ゲーム\\ソ\\");
        EXPECT_TRUE(written.readBack.status.Ok());
        EXPECT_EQ(setup::record::Read(installDir).text, "D:\\ゲーム\\ソ\\");
        EXPECT_TRUE(setup::record::Delete(installDir));
        EXPECT_EQ(setup::record::Read(installDir).text, "");
        EXPECT_FALSE(setup::record::Delete(installDir));
    }
    EXPECT_TRUE(setup::record::Delete(testsupport::Folder("SetupUnitParent")));
    EXPECT_EQ(setup::record::KeyPath(testsupport::Folder("A\\B")), "Software\\A\\B");
}

// Only Dir goes: another game's record below the key, or another value beside Dir, keeps the key.
TEST(InstallRecord, DeletingLeavesWhatElseTheKeyHolds)
{
    ASSERT_TRUE(setup::record::Write(testsupport::Folder("SetupUnitRecord\\Game2"), "D:\\Game2").opened);
    ASSERT_TRUE(setup::record::Write(testsupport::Folder("SetupUnitRecord"), "D:\\Game").opened);
    EXPECT_TRUE(setup::record::Delete(testsupport::Folder("SetupUnitRecord")));
    EXPECT_EQ(setup::record::Read(testsupport::Folder("SetupUnitRecord")).text, "");
    EXPECT_EQ(setup::record::Read(testsupport::Folder("SetupUnitRecord\\Game2")).text, "D:\\Game2\\");

    EXPECT_TRUE(setup::record::Delete(testsupport::Folder("SetupUnitRecord\\Game2")));  // the parent is empty now, but not Game2's
    CRegistry registry(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey("Software\\SetupUnitRecord", false) && registry.WriteDword("Other", 1));
    ASSERT_TRUE(setup::record::Write(testsupport::Folder("SetupUnitRecord"), "D:\\Game").opened);
    EXPECT_TRUE(setup::record::Delete(testsupport::Folder("SetupUnitRecord")));
    EXPECT_TRUE(registry.OpenKeyReadOnly("Software\\SetupUnitRecord"));
    ASSERT_TRUE(registry.OpenKey("Software\\SetupUnitRecord", false) && registry.DeleteValue("Other"));
    registry.CloseKey();
    EXPECT_TRUE(setup::record::Delete(testsupport::Folder("SetupUnitRecord")));  // no Dir, nothing else: the empty key goes
    EXPECT_FALSE(registry.OpenKeyReadOnly("Software\\SetupUnitRecord"));
}

TEST(StartMenu, ShortcutsAreMadeAndRemovedWithTheEmptiedParent)
{
    std::string programs;
    ASSERT_TRUE(GetSpecialFolderPath(nullptr, programs, CSIDL_PROGRAMS, false));
    EXPECT_EQ(setup::startmenu::Folder(programs, testsupport::Folder("A\\B")), std::optional<std::string>(programs + "\\A\\B"));
    EXPECT_FALSE(setup::startmenu::Folder(programs, testsupport::Folder(std::string(260, 'x'))));

    const std::optional<setup::FolderName> shortCut = testsupport::Folder("SetupUnitMenu\\見本ゲーム");
    const std::string folder = programs + "\\" + shortCut->Text();
    // A shortcut without a target, or whose name is no file name, fails alone; the others are made,
    // each in the folder whatever levels its name holds.
    const std::vector<setup::startmenu::Shortcut> shortcuts = {
        {"星/海の物語", std::string("C:\\Games\\game.exe")},
        {"gdi", std::nullopt},
        {"..\\..\\Desktop\\MyGame", std::string("C:\\r.txt")},
        {"..", std::string("C:\\r.txt")},
    };
    EXPECT_EQ(setup::startmenu::MakeShortcuts(shortCut, shortcuts, "C:\\Games"),
              (std::vector<std::string>{folder + "\\gdi.lnk", folder + "\\.lnk"}));
    EXPECT_EQ(testsupport::Listing(folder), (std::vector<std::string>{"..＼..＼Desktop＼MyGame.lnk", "星／海の物語.lnk"}));
    EXPECT_TRUE(setup::startmenu::MakeShortcuts(std::nullopt, shortcuts, "C:\\Games").empty());

    setup::startmenu::Remove(shortCut);
    EXPECT_FALSE(testsupport::Exists(programs + "\\SetupUnitMenu"));
    EXPECT_TRUE(testsupport::Exists(programs));
}

}  // namespace
