#include "toolkit/TextList.h"

#include <gtest/gtest.h>

#include "toolkit/Error.h"

namespace {

TEST(TextList, KeepsOrderAndDuplicates)
{
    toolkit::TextList list;
    EXPECT_EQ(list.Count(), 0);
    for (const char* text : {"b.dat", "a.dat", "b.dat", "", "ソ表\\データ.dat"}) list.Append(text);
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Item(0), "b.dat");
    EXPECT_EQ(list.Item(1), "a.dat");
    EXPECT_EQ(list.Item(2), "b.dat");
    EXPECT_EQ(list.Item(3), "");
    EXPECT_EQ(list.Item(4), "ソ表\\データ.dat");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.Append("x");
    EXPECT_EQ(list.Item(0), "x");
}

TEST(TextList, IndexOutsideTheListIsAnErrorNamingTheIndex)
{
    toolkit::TextList list;
    list.Append("one");
    list.Append("two");
    const struct {
        int index;
        const char* message;
    } cases[] = {
        {2, "リストのインデックスが範囲を超えています (2)"},
        {-1, "リストのインデックスが範囲を超えています (-1)"},
        {2147483647, "リストのインデックスが範囲を超えています (2147483647)"},
    };
    for (const auto& c : cases) {
        try {
            (void)list.Item(c.index);
            ADD_FAILURE() << "no error for index " << c.index;
        } catch (const toolkit::Error& error) {
            EXPECT_EQ(error.Message(), c.message);
        }
    }
    toolkit::TextList empty;
    EXPECT_THROW((void)empty.Item(0), toolkit::Error);
}

}  // namespace
