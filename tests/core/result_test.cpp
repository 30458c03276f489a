// How the core reports a refusal (core/result.h): the error numbers, a value
// or an error, equality, and reading what is not there.
#include "../support/result_printing.h"
#include "core/result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

namespace {

using vemo::CoreError;
using vemo::Result;

// The COM side raises these numbers as they are.
TEST(CoreError, NumbersAreTheAutomationErrors) {
    const struct {
        CoreError error;
        int number;
    } cases[] = {
        {CoreError::InvalidArgument, 5}, {CoreError::Overflow, 6},        {CoreError::OutOfMemory, 7},
        {CoreError::Subscript, 9},       {CoreError::DivisionByZero, 11}, {CoreError::DuplicateKey, 457},
    };
    for (const auto& c : cases) EXPECT_EQ(static_cast<int>(c.error), c.number);
}

TEST(Result, HoldsAValueOrAnError) {
    Result<std::u16string> text = std::u16string(u"abc");
    ASSERT_TRUE(text.ok());
    EXPECT_EQ(text->size(), 3u);
    text.value() += u"d";
    EXPECT_EQ(*text, u"abcd");

    const Result<std::u16string> refused = CoreError::Overflow;
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), CoreError::Overflow);

    const Result<void> done;
    const Result<void> failed = CoreError::Subscript;
    EXPECT_TRUE(done.ok());
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.error(), CoreError::Subscript);
}

// A function that returns its local value: compiles only if that moves.
Result<std::unique_ptr<int>> Owned(int value) {
    auto owned = std::make_unique<int>(value);
    return owned;
}

TEST(Result, MovesItsValueInAndOut) {
    Result<std::unique_ptr<int>> owned = Owned(7);
    const std::unique_ptr<int> taken = std::move(owned).value();
    ASSERT_TRUE(taken);
    EXPECT_EQ(*taken, 7);
}

TEST(Result, EqualWhenBothHoldEqualValuesOrFailedTheSameWay) {
    const Result<int> one = 1;
    const Result<int> overflow = CoreError::Overflow;
    EXPECT_EQ(one, Result<int>(1));
    EXPECT_NE(one, Result<int>(2));
    EXPECT_NE(one, overflow);
    EXPECT_EQ(overflow, Result<int>(CoreError::Overflow));
    EXPECT_NE(overflow, Result<int>(CoreError::Subscript));
    EXPECT_NE(Result<int>(6), overflow) << "a value is never an error of the same number";

    const Result<void> done;
    EXPECT_EQ(done, Result<void>());
    EXPECT_NE(done, CoreError::Overflow);
    EXPECT_EQ(Result<void>(CoreError::Overflow), CoreError::Overflow);
    EXPECT_NE(Result<void>(CoreError::Overflow), CoreError::Subscript);
}

TEST(ResultDeathTest, ReadingWhatIsNotThereEndsTheProcess) {
    const Result<int> refused = CoreError::Overflow;
    EXPECT_DEATH((void)refused.value(), "");
    const Result<int> one = 1;
    EXPECT_DEATH((void)one.error(), "");
    const Result<void> done;
    EXPECT_DEATH((void)done.error(), "");
}

}  // namespace
