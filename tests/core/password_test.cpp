// Password mixing, checked against a step-by-step transcription.
#include "../support/result_printing.h"
#include "util/password.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using Bytes = std::array<uint8_t, 64>;
using vemo::CoreError;
using vemo::MixPassword;
using vemo::Result;

// Algorithms steps 2 to 8, literally, with arrays indexed from 1; a name or
// password too long for its array is out of the array's bounds.
Result<Bytes> StepByStep(const std::string& user, const std::string& pwd, int16_t nUID) {
    // Step 2: fold the user number.
    int evenByte = 0, oddByte = 0, w = 1, v = nUID;
    for (int i = 0; i <= 15; ++i) {
        const int b = v & 1;
        if (i % 2 == 0) {
            evenByte += b * w;
        } else {
            oddByte += b * w;
            w *= 2;
        }
        v = v / 2;
    }
    // Steps 4 and 5.
    int userBytes[33] = {}, pwdBytes[65] = {}, complement[33] = {}, mixed[65] = {};
    if (user.size() > 32 || pwd.size() > 64) return CoreError::Subscript;
    for (std::size_t j = 1; j <= user.size(); ++j) userBytes[j] = static_cast<unsigned char>(user[j - 1]);
    for (std::size_t j = 1; j <= pwd.size(); ++j) pwdBytes[j] = static_cast<unsigned char>(pwd[j - 1]);
    // Step 6.
    for (int m = 1; m <= 32; ++m) complement[m] = 255 - userBytes[33 - m];
    // Step 7.
    for (int s = 1; s <= 32; ++s) {
        mixed[2 * s - 1] = userBytes[s];
        mixed[2 * s] = complement[s];
    }
    // Step 8.
    Bytes result{};
    for (int f = 1; f <= 64; ++f) result[f - 1] = static_cast<uint8_t>(mixed[f] ^ pwdBytes[f] ^ oddByte ^ evenByte);
    return result;
}

TEST(FoldUserNumber, Values) {
    EXPECT_EQ(vemo::FoldUserNumber(0), 0);
    EXPECT_EQ(vemo::FoldUserNumber(1), 1);
    EXPECT_EQ(vemo::FoldUserNumber(2), 1);
    EXPECT_EQ(vemo::FoldUserNumber(3), 0);
    EXPECT_EQ(vemo::FoldUserNumber(-1), 1);  // even byte 1, odd byte 0
    EXPECT_EQ(vemo::FoldUserNumber(-2), 1);  // even byte 0, odd byte 1
    // The default 24817 = 0x60F1: even byte 0x8D, odd byte 0x4C.
    EXPECT_EQ(vemo::FoldUserNumber(24817), 0x8D ^ 0x4C);
    // -32768 halves to -1 at step 15 (an odd step, weight 128).
    EXPECT_EQ(vemo::FoldUserNumber(-32768), 128);
}

TEST(MixPassword, EmptyInputsAlternateZeroAnd255) {
    const auto out = MixPassword("", "", 0);
    ASSERT_TRUE(out.ok());
    for (std::size_t f = 0; f < 64; ++f) EXPECT_EQ((*out)[f], f % 2 == 0 ? 0 : 255) << f;
}

TEST(MixPassword, LengthLimits) {
    EXPECT_TRUE(MixPassword(std::string(32, 'u'), std::string(64, 'p'), 1).ok());
    EXPECT_EQ(MixPassword(std::string(33, 'u'), "", 1), CoreError::Subscript);
    EXPECT_EQ(MixPassword("", std::string(65, 'p'), 1), CoreError::Subscript);
    EXPECT_EQ(MixPassword(std::string(33, 'u'), "", 0), CoreError::Subscript);
}

TEST(MixPassword, DoubleByteUserNames) {
    // "中" in code page 936 is D6 D0: 16 such characters take 32 bytes.
    std::string sixteen;
    for (int k = 0; k < 16; ++k) sixteen += "\xD6\xD0";
    EXPECT_TRUE(MixPassword(sixteen, "pwd", 24817).ok());
    EXPECT_EQ(MixPassword(sixteen, "pwd", 24817), StepByStep(sixteen, "pwd", 24817));
    EXPECT_EQ(MixPassword(sixteen + "\xD6\xD0", "pwd", 24817), CoreError::Subscript);
}

TEST(MixPassword, UserNumberChangesEveryByteByTheSameXor) {
    const auto a = MixPassword("Admin", "secret", 24817);
    const auto b = MixPassword("Admin", "secret", 3);
    ASSERT_TRUE(a.ok() && b.ok());
    const uint8_t delta = static_cast<uint8_t>(vemo::FoldUserNumber(24817) ^ vemo::FoldUserNumber(3));
    ASSERT_NE(delta, 0);
    for (std::size_t f = 0; f < 64; ++f) EXPECT_EQ((*a)[f] ^ (*b)[f], delta) << f;
}

TEST(MixPassword, UserNameKeepsItsCase) {
    EXPECT_NE(MixPassword("admin", "x", 1), MixPassword("ADMIN", "x", 1));
}

TEST(MixPassword, ClosedFormMatchesStepByStepOnRandomInputs) {
    std::mt19937 rng(5301);
    for (int round = 0; round < 20000; ++round) {
        std::string user(rng() % 34, '\0'), pwd(rng() % 66, '\0');
        for (auto& c : user) c = static_cast<char>(rng());
        for (auto& c : pwd) c = static_cast<char>(rng());
        const auto uid = static_cast<int16_t>(static_cast<uint16_t>(rng()));
        ASSERT_EQ(MixPassword(user, pwd, uid), StepByStep(user, pwd, uid))
            << "user " << user.size() << " pwd " << pwd.size() << " uid " << uid;
    }
}

TEST(FoldUserNumber, MatchesStepByStepForEveryUserNumber) {
    for (int uid = -32768; uid <= 32767; ++uid) {
        const auto expected = StepByStep("", "", static_cast<int16_t>(uid));
        ASSERT_EQ(vemo::FoldUserNumber(static_cast<int16_t>(uid)), (*expected)[0]) << uid;
    }
}

}  // namespace
