#include "util/Cp932.h"

#include <gtest/gtest.h>

TEST(Cp932, RoundTripsJapanese)
{
    const std::string text = "インストーラ ソ\\表";
    auto wide = cp932::ToWide(text);
    ASSERT_TRUE(wide);
    EXPECT_EQ(*wide, L"インストーラ ソ\\表");
    auto back = cp932::FromWide(*wide);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, text);
}

TEST(Cp932, RefusesWhatItCannotRepresent)
{
    EXPECT_FALSE(cp932::FromWide(std::wstring(L"\u00e9t\u00e9")));  // no code-page-932 form
    EXPECT_FALSE(cp932::ToWide(std::string("\x81", 1)));            // lead byte without its trail byte
    EXPECT_EQ(cp932::ToWide(std::string()), std::wstring());
}
