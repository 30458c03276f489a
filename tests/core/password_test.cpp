// Password mixing: values worked out by hand from the rule, and the
// relations every result keeps.
//   K = even byte ^ odd byte of the user number, folded over its 16 steps:
//       step i takes the lowest bit of v into the even byte (i even) or the
//       odd byte (i odd) at weight 2^(i/2), then halves v toward zero;
//   result(2s-1) = U(s) ^ P(2s-1) ^ K,  result(2s) = (255 - U(33-s)) ^ P(2s) ^ K
// with U, P the user's and the password's bytes, zero past their ends.
#include "../support/result_printing.h"
#include "util/password.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

namespace {

using Bytes = std::array<uint8_t, 64>;
using vemo::CoreError;

// The result, or nothing when the mixing refused its input.
std::optional<Bytes> Mix(const std::string& user, const std::string& pwd, int16_t uid) {
    const vemo::Result<Bytes> mixed = vemo::MixPassword(user, pwd, uid);
    if (!mixed.ok()) return std::nullopt;
    return *mixed;
}

TEST(FoldUserNumber, ValuesByHand) {
    const struct {
        int16_t uid;
        uint8_t k;
    } cases[] = {
        {0, 0},
        {1, 1},         // step 0: even 1
        {2, 1},         // step 1: odd 1
        {3, 0},         // even 1, odd 1
        {-1, 1},        // step 0 takes 1 and -1 halves to 0: even 1, odd 0
        {-2, 1},        // -2 -> -1 (odd 1) -> 0
        {-3, 0},        // 1 (even 1), -3 -> -1 (odd 1), not -2 as a shift would give
        {-5, 3},        // 1 (even 1), -2 (odd 0), -1 (even 2): even 3, odd 0
        {24817, 0xC1},  // the default, 0x60F1: even 0x8D, odd 0x4C
        {32767, 0x80},  // 15 ones: even 0xFF, odd 0x7F
        {-32768, 128},  // halves to -1 at step 15: odd 0x80
        {0x5555, 0xFF}, // every even step 1: even 0xFF, odd 0
        {0x2AAA, 0x7F}, // odd steps 1 to 13: odd 0x7F, even 0
    };
    for (const auto& c : cases) EXPECT_EQ(vemo::FoldUserNumber(c.uid), c.k) << c.uid;
}

TEST(FoldUserNumber, ANegativeNumberFoldsAsItsMagnitude) {
    // Halving toward zero keeps the magnitude's bits: -n takes the steps of n.
    for (int n = 1; n <= 32767; ++n) {
        ASSERT_EQ(vemo::FoldUserNumber(static_cast<int16_t>(-n)), vemo::FoldUserNumber(static_cast<int16_t>(n))) << n;
    }
}

TEST(MixPassword, ValuesByHand) {
    // Empty inputs, K 0: U(s) = 0 and 255 - 0 alternate.
    Bytes empty{};
    for (std::size_t f = 1; f < 64; f += 2) empty[f] = 255;
    EXPECT_EQ(Mix("", "", 0), empty);

    // "AB" (41 42), "xyz" (78 79 7A), K 1:
    //   r1 = 41^78^1 = 38, r2 = (FF-0)^79^1 = 87, r3 = 42^7A^1 = 39, r4 = FF^1 = FE,
    //   then 01 FE to r60, r62 = (FF-42)^1 = BC, r64 = (FF-41)^1 = BF.
    Bytes ab{};
    for (std::size_t f = 0; f < 64; f += 2) {
        ab[f] = 0x01;
        ab[f + 1] = 0xFE;
    }
    ab[0] = 0x38, ab[1] = 0x87, ab[2] = 0x39, ab[61] = 0xBC, ab[63] = 0xBF;
    EXPECT_EQ(Mix("AB", "xyz", 1), ab);

    // The longest inputs: 32 'u' (75) and 64 'p' (70), K 0: 75^70 = 05, (FF-75)^70 = FA.
    Bytes longest{};
    for (std::size_t f = 0; f < 64; f += 2) {
        longest[f] = 0x05;
        longest[f + 1] = 0xFA;
    }
    EXPECT_EQ(Mix(std::string(32, 'u'), std::string(64, 'p'), 0), longest);
}

TEST(MixPassword, LengthLimits) {
    EXPECT_TRUE(vemo::MixPassword(std::string(32, 'u'), std::string(64, 'p'), 1).ok());
    EXPECT_EQ(vemo::MixPassword(std::string(33, 'u'), "", 1), CoreError::Subscript);
    EXPECT_EQ(vemo::MixPassword("", std::string(65, 'p'), 1), CoreError::Subscript);
    EXPECT_EQ(vemo::MixPassword(std::string(33, 'u'), "", 0), CoreError::Subscript);
}

TEST(MixPassword, DoubleByteUserNames) {
    // "中" in code page 936 is D6 D0: 16 such characters take 32 bytes. With
    // "pwd" (70 77 64) and the default user number (K C1):
    //   r1 = D6^70^C1 = 67, r2 = (FF-D0)^77^C1 = 2F^77^C1 = 99,
    //   r3 = D0^64^C1 = 75, r4 = (FF-D6)^C1 = 29^C1 = E8,
    //   then for odd s: D6^C1 = 17, 2F^C1 = EE; for even s: D0^C1 = 11, E8.
    std::string sixteen;
    for (int k = 0; k < 16; ++k) sixteen += "\xD6\xD0";
    Bytes expected{};
    for (std::size_t s = 0; s < 32; ++s) {
        expected[2 * s] = s % 2 == 0 ? 0x17 : 0x11;
        expected[2 * s + 1] = s % 2 == 0 ? 0xEE : 0xE8;
    }
    expected[0] = 0x67, expected[1] = 0x99, expected[2] = 0x75, expected[3] = 0xE8;
    EXPECT_EQ(Mix(sixteen, "pwd", 24817), expected);
    EXPECT_FALSE(Mix(sixteen + "\xD6\xD0", "pwd", 24817));
}

TEST(MixPassword, UserNumberChangesEveryByteByTheSameXor) {
    const auto a = Mix("Admin", "secret", 24817);
    const auto b = Mix("Admin", "secret", 3);
    ASSERT_TRUE(a && b);
    for (std::size_t f = 0; f < 64; ++f) EXPECT_EQ((*a)[f] ^ (*b)[f], 0xC1) << f;  // K 0xC1 and K 0
}

TEST(MixPassword, UserNameKeepsItsCase) {
    EXPECT_NE(Mix("admin", "x", 1), Mix("ADMIN", "x", 1));
}

TEST(MixPassword, RelationsOnRandomInputs) {
    // The password enters each byte by exclusive-or, the user number through
    // its folded byte, the same for all 64.
    std::mt19937 rng(5301);
    for (int round = 0; round < 20000; ++round) {
        std::string user(rng() % 33, '\0'), pwd(rng() % 65, '\0');
        for (auto& c : user) c = static_cast<char>(rng());
        for (auto& c : pwd) c = static_cast<char>(rng());
        const auto uid = static_cast<int16_t>(static_cast<uint16_t>(rng()));
        const auto mixed = Mix(user, pwd, uid), plain = Mix(user, "", 0);
        ASSERT_TRUE(mixed && plain);
        const uint8_t k = vemo::FoldUserNumber(uid);
        for (std::size_t f = 0; f < 64; ++f) {
            const uint8_t p = f < pwd.size() ? static_cast<uint8_t>(pwd[f]) : 0;
            ASSERT_EQ((*mixed)[f] ^ (*plain)[f], p ^ k) << f;
        }
    }
}

}  // namespace
