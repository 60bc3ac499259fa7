#include "setup/IniReader.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

// Which rule of reading a case is about; each has a test of its own.
enum class Rule { Names, Values, Comments, FirstWins, TwoByte };

struct ValueCase {
    Rule rule;
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    std::string expected;  // "<default>" when the lookup must miss
};

const ValueCase kValueCases[] = {
    {Rule::Names, "lower section and key", "[setup]\ngamename=Game\n", "Setup", "GameName", "Game"},
    {Rule::Names, "upper section and key", "[SETUP]\nGAMENAME=Game\n", "setup", "gamename", "Game"},
    {Rule::Names, "blanks around names", "  [ \tSetup  ]  \n \t Game Name \t= v\n", "Setup", "Game Name", "v"},
    {Rule::Names, "blanks inside a name count", "[Setup]\nGame Name=v\n", "Setup", "GameName", "<default>"},
    {Rule::Names, "text after the bracket", "[Setup] trailing\nk=v\n", "Setup", "k", "v"},
    {Rule::Names, "missing section", "[Other]\nk=v\n", "Setup", "k", "<default>"},
    {Rule::Names, "missing key", "[Setup]\nk=v\n", "Setup", "j", "<default>"},
    {Rule::Names, "empty file", "", "Setup", "k", "<default>"},
    {Rule::Names, "keys before any section", "k=v\n[Setup]\n", "Setup", "k", "<default>"},
    {Rule::Names, "section without closing bracket", "[Setup]\nk=1\n[Other\nj=2\n", "Setup", "j", "2"},
    {Rule::Names, "empty value is present", "[S]\nk=\n", "S", "k", ""},
    {Rule::Names, "first equals sign splits", "[S]\nk=a=b\n", "S", "k", "a=b"},
    {Rule::Values, "blanks around", "[S]\nk= \t a  b \t \n", "S", "k", "a  b"},
    {Rule::Values, "double quotes", "[S]\nk=\"abc\"\n", "S", "k", "abc"},
    {Rule::Values, "single quotes", "[S]\nk='abc'\n", "S", "k", "abc"},
    {Rule::Values, "quotes after trimming", "[S]\nk=  \"abc\"  \n", "S", "k", "abc"},
    {Rule::Values, "blanks inside quotes stay", "[S]\nk=\"  a  \"\n", "S", "k", "  a  "},
    {Rule::Values, "empty quotes", "[S]\nk=\"\"\n", "S", "k", ""},
    {Rule::Values, "only one pair goes", "[S]\nk=\"\"abc\"\"\n", "S", "k", "\"abc\""},
    {Rule::Values, "mismatched pair stays", "[S]\nk=\"abc'\n", "S", "k", "\"abc'"},
    {Rule::Values, "opening quote only", "[S]\nk=\"abc\n", "S", "k", "\"abc"},
    {Rule::Values, "closing quote only", "[S]\nk=abc\"\n", "S", "k", "abc\""},
    {Rule::Values, "lone double quote", "[S]\nk=\"\n", "S", "k", "\""},
    {Rule::Values, "lone single quote", "[S]\nk='\n", "S", "k", "'"},
    {Rule::Values, "quoted Japanese", "[S]\nk=\"表ソ\"\n", "S", "k", "表ソ"},
    {Rule::Values, "a zero byte ends the value", "[S]\nk=a\0b\nj=c\n"s, "S", "k", "a"},
    {Rule::Values, "blanks before a zero byte", "[S]\nk= a \0b \n"s, "S", "k", "a"},
    {Rule::Values, "a zero byte cuts the closing quote", "[S]\nk=\"a\0b\"\n"s, "S", "k", "\"a"},
    {Rule::Values, "lines after a zero byte read", "[S]\nk=a\0b\nj=c\n"s, "S", "j", "c"},
    {Rule::Comments, "comment line", "[S]\n;k=1\nk=2\n", "S", "k", "2"},
    {Rule::Comments, "indented comment", "[S]\n \t;k=1\n", "S", "k", "<default>"},
    {Rule::Comments, "a comment is no key", "[S]\n;k=1\n", "S", ";k", "<default>"},
    {Rule::Comments, "semicolon inside a value stays", "[S]\nk=1 ; note\n", "S", "k", "1 ; note"},
    {Rule::Comments, "commented section header", "[S]\nk=1\n;[S2]\nj=2\n", "S", "j", "2"},
    {Rule::Comments, "line without equals sign", "[S]\nk\nk=2\n", "S", "k", "2"},
    {Rule::Comments, "line without equals sign alone", "[S]\nk\n", "S", "k", "<default>"},
    {Rule::FirstWins, "first key of a name", "[S]\nk=1\nK=2\n", "S", "k", "1"},
    {Rule::FirstWins, "first section of a name", "[S]\nk=1\n[T]\n[s]\nk=2\n", "S", "k", "1"},
    {Rule::FirstWins, "a repeated section is not merged", "[S]\nk=1\n[T]\n[s]\nj=2\n", "S", "j", "<default>"},
    {Rule::FirstWins, "keys after a repeated section stay out of it", "[S]\n[T]\nt=1\n[S]\nj=2\n", "T", "j",
     "<default>"},
    {Rule::FirstWins, "a section after a repeated one reads again", "[S]\n[S]\n[T]\nt=1\n", "T", "t", "1"},
    {Rule::TwoByte, "Japanese names and value", "[ゲーム]\nソフト名=表示\n", "ゲーム", "ソフト名", "表示"},
    // ア's trail byte is 'A': folding it would merge ア and ヂ.
    {Rule::TwoByte, "trail A in a section is not folded", "[ア]\nk=1\n[ヂ]\nk=2\n", "ヂ", "k", "2"},
    {Rule::TwoByte, "trail A in a key is not folded", "[S]\nア=1\nヂ=2\n", "S", "ヂ", "2"},
    {Rule::TwoByte, "letters after a Japanese character fold", "[S]\nアB=1\n", "S", "アb", "1"},
    {Rule::TwoByte, "trail ']' does not close a section", "[ゾ]\nk=1\n", "ゾ", "k", "1"},
    {Rule::TwoByte, "trail ']' is not the section end", "[ゾ]\nk=1\n", "\x83", "k", "<default>"},
    {Rule::TwoByte, "trail '[' at the start of a key", "[S]\nーk=1\n", "S", "ーk", "1"},
    {Rule::TwoByte, "trail '[' in a section", "[ゼー]\nk=1\n", "ゼー", "k", "1"},
    {Rule::TwoByte, "trail backslash in a key and value", "[表]\nソ=表ソ\\\n", "表", "ソ", "表ソ\\"},
    {Rule::TwoByte, "half-width katakana is one byte", "[ｱ]\nｱ=ｲ\n", "ｱ", "ｱ", "ｲ"},
    {Rule::TwoByte, "a broken pair does not hide the equals sign", "[S]\nk\x81=v\n", "S", "k\x81", "v"},
};

void CheckValues(Rule rule)
{
    int checked = 0;
    for (const auto& c : kValueCases) {
        if (c.rule != rule) continue;
        ++checked;
        SCOPED_TRACE(c.name);
        EXPECT_EQ(setup::IniReader(c.file).ReadString(c.section, c.key, "<default>"), c.expected);
    }
    EXPECT_GT(checked, 0);
}

}  // namespace

TEST(IniReader, SourceLiteralsAreShiftJis)
{
    // The tests below rely on these trail bytes looking like ASCII.
    EXPECT_EQ(std::string("ア"), "\x83\x41");
    EXPECT_EQ(std::string("ヂ"), "\x83\x61");
    EXPECT_EQ(std::string("ソ"), "\x83\x5C");
    EXPECT_EQ(std::string("ー"), "\x81\x5B");
    EXPECT_EQ(std::string("ゼ"), "\x83\x5B");
    EXPECT_EQ(std::string("ゾ"), "\x83\x5D");
    EXPECT_EQ(std::string("表"), "\x95\x5C");
}

TEST(IniReader, NamesIgnoreLetterCaseAndBlanks)
{
    CheckValues(Rule::Names);
}

TEST(IniReader, ValuesAreTrimmedAndUnquoted)
{
    CheckValues(Rule::Values);
}

TEST(IniReader, CommentsAndLinesWithoutKeys)
{
    CheckValues(Rule::Comments);
}

TEST(IniReader, FirstSectionAndFirstKeyWin)
{
    CheckValues(Rule::FirstWins);
}

TEST(IniReader, EveryLineEnding)
{
    for (const char* eol : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(eol));
        const std::string e = eol;
        const setup::IniReader ini("[A]" + e + "k=1" + e + e + "j=2" + e + "[B]" + e + "k=3");
        EXPECT_EQ(ini.ReadString("A", "k", ""), "1");
        EXPECT_EQ(ini.ReadString("A", "j", ""), "2");
        EXPECT_EQ(ini.ReadString("B", "k", ""), "3");  // last line without an ending
    }
    const setup::IniReader mixed("[A]\r\nk=1\rj=2\n\r\ni=3\r\r");
    EXPECT_EQ(mixed.ReadString("A", "k", ""), "1");
    EXPECT_EQ(mixed.ReadString("A", "j", ""), "2");
    EXPECT_EQ(mixed.ReadString("A", "i", ""), "3");
}

TEST(IniReader, TwoByteCharactersAreNeverSplit)
{
    CheckValues(Rule::TwoByte);
}

TEST(IniReader, ValuesAreCutAtWholeCharacters)
{
    const std::string a2046(2046, 'a');
    const std::string a2047(2047, 'a');
    struct Case {
        const char* name;
        std::string value;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"exactly the limit", a2047, a2047},
        {"one byte over", a2047 + "b", a2047},
        {"far over", std::string(5000, 'a'), a2047},
        {"character ending at the limit", a2046.substr(1) + "表", a2046.substr(1) + "表"},
        {"character straddling the limit", a2046 + "表", a2046},
        {"character straddling, more after", a2046 + "表ソ", a2046},
        {"half-width katakana at the limit", a2046 + "ｱｲ", a2046 + "ｱ"},
        {"quotes go before the cut", "\"" + a2047 + "\"", a2047},
        {"quotes stay when the closing one is cut off", "\"" + a2047, "\"" + a2046},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string got = setup::IniReader("[S]\r\nk=" + c.value + "\r\n").ReadString("S", "k", "");
        EXPECT_EQ(got.size(), c.expected.size());
        EXPECT_EQ(got, c.expected);
    }
    EXPECT_EQ(setup::IniReader("").ReadString("S", "k", a2046 + "表"), a2046);
}

TEST(IniReader, IntegerConversion)
{
    struct Case {
        const char* text;
        int32_t expected;
    };
    const Case cases[] = {
        {"16", 16},
        {"0x10", 16},
        {"0X1f", 31},
        {"007", 7},
        {"-3", -3},
        {"-0x10", -16},
        {"0", 0},
        {"2147483647", INT32_MAX},
        {"0x7FFFFFFF", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-0x80000000", INT32_MIN},
        {"2147483648", 0},
        {"-2147483649", 0},
        {"0x80000000", 0},
        {"0xFFFFFFFF", 0},
        {"99999999999", 0},
        {"99999999999999999999999999", 0},
        {"abc", 0},
        {"12abc", 0},
        {"1 2", 0},
        {"0x", 0},
        {"0xG", 0},
        {"-", 0},
        {"--1", 0},
        {"+5", 0},
        {"1.5", 0},
        {"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(setup::IniReader::ToInteger(c.text), c.expected);
        EXPECT_EQ(setup::IniReader(std::string("[S]\nn=") + c.text + "\n").ReadInteger("S", "n", 42), c.expected);
    }
}

TEST(IniReader, IntegersReadThroughTheValueRules)
{
    const setup::IniReader ini("[Files]\ncount = \t 0x10 \nquoted=\"7\"\nempty=\nCOUNT=99\n");
    EXPECT_EQ(ini.ReadInteger("files", "Count", 0), 16);
    EXPECT_EQ(ini.ReadInteger("Files", "quoted", 0), 7);
    EXPECT_EQ(ini.ReadInteger("Files", "empty", 42), 0);  // present but not a number
    EXPECT_EQ(ini.ReadInteger("Files", "missing", 42), 42);
    EXPECT_EQ(ini.ReadInteger("Other", "Count", -1), -1);
}
