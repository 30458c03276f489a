// Pixel arithmetic.
#include "../support/result_printing.h"
#include "util/pixels.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

using vemo::CoreError;
using vemo::RoundHalfEven;
using vemo::TwipsToPixels;

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(RoundHalfEven, HalvesGoToEven) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

TEST(RoundHalfEven, NonHalvesGoToNearest) {
    EXPECT_EQ(RoundHalfEven(2.4999999), 2);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
    EXPECT_EQ(RoundHalfEven(-2.5000001), -3);
    EXPECT_EQ(RoundHalfEven(0.49999999999999994), 0);
    EXPECT_EQ(RoundHalfEven(7), 7);
    EXPECT_EQ(RoundHalfEven(-0.0), 0);
}

TEST(RoundHalfEven, IgnoresTheRoundingMode) {
    const int saved = std::fegetround();
    std::fesetround(FE_UPWARD);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(2.4), 2);
    std::fesetround(saved);
}

TEST(RoundHalfEven, ClampsAndNaN) {
    EXPECT_EQ(RoundHalfEven(1e300), kMax);
    EXPECT_EQ(RoundHalfEven(-1e300), kMin);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()), kMax);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
    EXPECT_EQ(RoundHalfEven(2147483646.5), 2147483646);
    EXPECT_EQ(RoundHalfEven(-2147483648.4), kMin);
}

TEST(TryRoundHalfEven, RefusesOutOfRange) {
    EXPECT_EQ(vemo::TryRoundHalfEven(2.5), 2);
    EXPECT_EQ(vemo::TryRoundHalfEven(2147483647.4), kMax);
    EXPECT_EQ(vemo::TryRoundHalfEven(2147483647.5), CoreError::Overflow);
    EXPECT_EQ(vemo::TryRoundHalfEven(-2147483648.5), kMin);  // half to even: -2147483648
    EXPECT_EQ(vemo::TryRoundHalfEven(-2147483649.0), CoreError::Overflow);
    EXPECT_EQ(vemo::TryRoundHalfEven(std::nan("")), CoreError::Overflow);
    EXPECT_EQ(vemo::TryRoundHalfEven(std::numeric_limits<double>::infinity()), CoreError::Overflow);
}

TEST(TwipsToPixels, ExamplesAt12TwipsPerPixel) {
    EXPECT_EQ(TwipsToPixels(6, 12), 0);
    EXPECT_EQ(TwipsToPixels(18, 12), 2);
    EXPECT_EQ(TwipsToPixels(20, 12), 2);
    EXPECT_EQ(TwipsToPixels(30, 12), 2);  // 2.5
    EXPECT_EQ(TwipsToPixels(42, 12), 4);  // 3.5
}

TEST(TwipsToPixels, DefaultRectangleAt96Dpi) {
    EXPECT_EQ(TwipsToPixels(150, 15), 10);
    EXPECT_EQ(TwipsToPixels(1500, 15), 100);
    EXPECT_EQ(TwipsToPixels(3000, 15), 200);
    EXPECT_EQ(TwipsToPixels(6000, 15), 400);
    EXPECT_EQ(TwipsToPixels(-150, 15), -10);
}

TEST(TwipsToPixels, ZeroRatioIsDivisionByZero) {
    EXPECT_EQ(TwipsToPixels(150, 0), CoreError::DivisionByZero);
    EXPECT_EQ(TwipsToPixels(0, 0), CoreError::DivisionByZero);
}

TEST(TwipsToPixels, ExtremeValues) {
    EXPECT_EQ(TwipsToPixels(kMin, -1), kMax);  // 2^31 clamped
    EXPECT_EQ(TwipsToPixels(kMax, 1), kMax);
    EXPECT_EQ(TwipsToPixels(kMin, 1), kMin);
}

TEST(CenterOffset, Values) {
    EXPECT_EQ(vemo::CenterOffset(14400, 14400), 0);
    EXPECT_EQ(vemo::CenterOffset(100, 120), -10);
    EXPECT_EQ(vemo::CenterOffset(9600, 4001), 2799.5);
}

}  // namespace
