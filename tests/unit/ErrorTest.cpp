#include "toolkit/Error.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

TEST(Format, SubstitutesTheFirstConversionOnly)
{
    struct Case {
        const char* pattern;
        long long value;
        const char* expected;
    };
    const Case cases[] = {
        {"(%d)", 0, "(0)"},
        {"エラーです (%d)", -263, "エラーです (-263)"},
        {"%d%%", 100, "100%"},
        {"%d %d", 7, "7 %d"},
        {"%d", LLONG_MIN, "-9223372036854775808"},
        {"%d", LLONG_MAX, "9223372036854775807"},
        {"no conversion", 5, "no conversion"},
        {"trailing %", 5, "trailing %"},
    };
    for (const Case& c : cases) EXPECT_EQ(toolkit::Format(c.pattern, c.value), c.expected) << c.pattern;
    EXPECT_EQ(toolkit::Format("'%s' を読み取れません", std::string("表示%d")), "'表示%d' を読み取れません");
}

// The library's own failures arrive as std::exception with the library's text, formatted.
TEST(Runtime, LibraryFailuresAreExceptionsWithTheirText)
{
    try {
        (void)std::string("abc").substr(5);
        FAIL() << "no exception";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "basic_string::substr: __pos (which is 5) > this->size() (which is 3)");
    }
    EXPECT_THROW((void)std::vector<int>(2).at(2), std::exception);
    EXPECT_THROW((void)std::string().reserve(std::string().max_size() + 1), std::exception);
}

}  // namespace
