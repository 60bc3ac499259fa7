#include <gtest/gtest.h>

#include "app/MainForm.h"

TEST(GameWorkingFolder, DropsOneFinalBackslashUnlessAnotherPrecedesIt)
{
    struct Case {
        std::string installed, folder;
    } cases[] = {
        {"C:\\Game\\", "C:\\Game"},
        {"C:\\Game\\\\", "C:\\Game\\\\"},
        {"C:\\Game", "C:\\Game"},
        {"\\", ""},
        {"", ""},
        // The second byte of ソ is a backslash byte: the folder keeps its final backslash.
        {"C:\\ソ\\", "C:\\ソ\\"},
        {"C:\\ソフト\\", "C:\\ソフト"},
    };
    for (const Case& c : cases) EXPECT_EQ(GameWorkingFolder(c.installed), c.folder) << c.installed;
}
