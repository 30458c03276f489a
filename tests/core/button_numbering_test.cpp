// The add counter of Btns: IDs, keys, the first-button mark, the limit.
#include "../support/result_printing.h"
#include "buttons/button_numbering.h"

#include <gtest/gtest.h>

namespace {

using vemo::ButtonNumbering;
using vemo::CoreError;

TEST(ButtonNumbering, NumbersFromZeroAndMarksOnlyTheFirst) {
    ButtonNumbering n;
    EXPECT_EQ(n.NextId(), 0);
    EXPECT_EQ(n.NextKey(), u"0");
    EXPECT_TRUE(n.NextIsFirst());
    for (int i = 1; i <= 12; ++i) {
        ASSERT_TRUE(n.Advance().ok());
        EXPECT_EQ(n.NextId(), i);
        EXPECT_FALSE(n.NextIsFirst());
    }
    EXPECT_EQ(n.NextKey(), u"12") << "decimal text without padding";
    EXPECT_EQ(ButtonNumbering(100).NextKey(), u"100");
    EXPECT_EQ(ButtonNumbering(-5).NextId(), 0) << "a negative start is refused";
}

TEST(ButtonNumbering, StopsAtTheLimitWithoutMoving) {
    ButtonNumbering n(ButtonNumbering::kLast - 1);
    EXPECT_EQ(n.NextKey(), u"2147483646");
    ASSERT_TRUE(n.Advance().ok());
    EXPECT_EQ(n.NextId(), 2147483647);
    EXPECT_EQ(n.NextKey(), u"2147483647");
    EXPECT_EQ(n.Advance(), CoreError::Overflow);
    EXPECT_EQ(n.Advance(), CoreError::Overflow);
    EXPECT_EQ(n.NextId(), 2147483647) << "the counter keeps its value";
    EXPECT_FALSE(n.NextIsFirst());
}

}  // namespace
