// AddStrNum against the step-by-step loop over the number rule read whole.
#include "../support/addstrnum_stepwise.h"
#include "../support/result_printing.h"
#include "util/text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using vemo::AddStrNum;
using vemo::CoreError;
using vemo::NumberSymbols;
using vemo::reference::RuleNumbers;
using vemo::reference::StepwiseAddStrNum;

std::u16string U(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// ASCII form of a text for failure messages, at most 60 characters.
std::string Shown(std::u16string_view s) {
    std::string out;
    for (char16_t c : s.substr(0, 60)) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

std::u16string Count(std::u16string_view str, const vemo::NumericText& numbers, long* tests = nullptr) {
    const vemo::Result<std::u16string> out = AddStrNum(str, numbers, tests);
    EXPECT_TRUE(out.ok());
    return out.ok() ? *out : u"refused";
}

std::u16string Count(std::u16string_view str, long* tests = nullptr) { return Count(str, RuleNumbers(), tests); }

const NumberSymbols kEuropean{u',', u'.', u"\u20AC"};
const NumberSymbols kNoGrouping{u'.', 0, u"\u00A5"};
const NumberSymbols kLongCurrency{u'.', u',', u"NT$"};

TEST(RuleNumbers, ReadsTheNumberShapes) {
    const struct {
        std::u16string text;
        bool numeric;
        double value;
    } cases[] = {
        {u" -12.5e1 ", true, -125}, {u".5", true, 0.5},       {u"5.", true, 5},        {u"1,234.5", true, 1234.5},
        {u"$-5", true, -5},         {u"- $ 5", true, -5},     {u"5-", true, -5},       {u"5$", true, 5},
        {u"(5)", true, -5},         {u"&H1F", true, 31},      {u"&o17", true, 15},     {u"\t7\r\n", true, 7},
        {u"1e+2", true, 100},       {u"", false, 0},          {u"-", false, 0},        {u"1e", false, 0},
        {u"1.2.3", false, 0},       {u"L009", false, 0},      {u"1e999", false, 0},    {u",5", false, 0},
        {u"(5", false, 0},          {u"5)", false, 0},        {u"-5-", false, 0},      {u"$5$", false, 0},
        {u"$1e5", false, 0},        {u"&H", false, 0},        {u"&O8", false, 0},      {u"&HFFFFFFFFFFFFFFFFF", false, 0},
        {u"1 5", false, 0},         {u"--5", false, 0},       {u"\u00A05", false, 0},  {u"\uFF15", false, 0},
    };
    RuleNumbers n;
    for (const auto& c : cases) {
        double v = -1;
        EXPECT_EQ(n.TryParse(c.text, v), c.numeric) << Shown(c.text);
        if (c.numeric) EXPECT_EQ(v, c.value) << Shown(c.text);
    }
    double v = 0;
    EXPECT_TRUE(RuleNumbers(kEuropean).TryParse(u"\u20AC 1.234,5", v));
    EXPECT_EQ(v, 1234.5);
    EXPECT_EQ(n.Format(10), u"10");
    EXPECT_EQ(n.Format(-4), u"-4");
    EXPECT_EQ(n.Format(2.5), u"2.5");
}

TEST(AddStrNum, Examples) {
    EXPECT_EQ(Count(u"ABC"), u"ABC1");
    EXPECT_EQ(Count(u"ABC9"), u"ABC10");
    EXPECT_EQ(Count(u"BILL009"), u"BILL10");
    EXPECT_EQ(Count(u"123"), u"124");
    EXPECT_EQ(Count(u""), u"1");
    EXPECT_EQ(Count(u"A-5"), u"A-4");
    EXPECT_EQ(Count(u"X1.5"), u"X2.5");
}

// Plain integer tails of more than 15 digits are counted up exactly; the
// double would give "INV1.23456789012346E+15" and "INV1E+15".
TEST(AddStrNum, LongIntegersExactly) {
    const struct {
        const char16_t* in;
        const char16_t* out;
    } cases[] = {
        {u"INV1234567890123456", u"INV1234567890123457"},
        {u"INV999999999999999", u"INV1000000000000000"},    // 15 digits, the successor 16
        {u"A-10000000000000001", u"A-10000000000000000"},
        {u"A-1000000000000000", u"A-999999999999999"},      // 16 digits, the successor 15
        {u"999999999999998", u"999999999999999"},           // 15 and 15: the double's
        {u"-999999999999999", u"-999999999999998"},
        {u"1000000000000000", u"1000000000000001"},
        {u"X+9999999999999999", u"X10000000000000000"},     // '+' goes, as the platform writes
        {u"B00009999999999999999", u"B10000000000000000"},  // leading zeros go
        {u"T20261210235959000001", u"T20261210235959000002"},
    };
    for (const auto& c : cases) EXPECT_EQ(Count(c.in), c.out) << Shown(c.in);
    EXPECT_EQ(Count(u"N" + std::u16string(300, u'9')), u"N1" + std::u16string(300, u'0'));
    // Other long tails keep the double: a blank, a currency symbol or a
    // decimal point in the tail.
    for (const char16_t* in : {u"A 1234567890123456", u"A$1234567890123456", u"A1234567890123456.5", u"A-.1234567890123456"})
        EXPECT_EQ(Count(in), StepwiseAddStrNum(in, RuleNumbers())) << Shown(in);
    EXPECT_EQ(Count(u"A 1234567890123456"), u"A1.23456789012346e+15");
}

// Long digit runs against successors made by construction: digits, one digit
// below 9 and a run of nines count up to the same digits, that digit plus one
// and a run of zeros; the negative case the other way round.
TEST(AddStrNum, LongIntegersMatchConstructedSuccessors) {
    std::mt19937 random(28);
    auto digits = [&](std::size_t n, char16_t lowest) {
        std::u16string d(n, u'0');
        for (char16_t& c : d) c = static_cast<char16_t>(lowest + random() % (u'9' - lowest + 1));
        return d;
    };
    for (int round = 0; round < 5000; ++round) {
        const std::u16string head = digits(1 + random() % 40, u'1');  // no leading zero
        const char16_t d = static_cast<char16_t>(u'0' + random() % 9);
        const std::size_t k = random() % 20;
        const std::u16string zeros = std::u16string(random() % 3, u'0');
        std::u16string low = head + d + std::u16string(k, u'9');
        std::u16string high = head + static_cast<char16_t>(d + 1) + std::u16string(k, u'0');
        if (high.size() <= 15) continue;  // the double's range: the other tests
        EXPECT_EQ(Count(u"INV" + zeros + low), u"INV" + high) << Shown(low);
        EXPECT_EQ(Count(u"INV-" + zeros + high), u"INV-" + low) << Shown(high);
        EXPECT_EQ(Count(u"INV" + std::u16string(k + 16, u'9')), u"INV1" + std::u16string(k + 16, u'0'));
    }
}

TEST(AddStrNum, MoreShapes) {
    const struct {
        const char16_t* in;
        const char16_t* out;
    } cases[] = {
        {u"-1", u"0"},
        {u"A 7", u"A8"},         // " 7" is numeric: the blank belongs to the tail
        {u"A7 ", u"A7 1"},       // a lone trailing blank is not: the loop stops at once
        {u"   ", u"   1"},       // blanks alone are not a number
        {u"R1E5", u"R1E6"},      // stops at "E5", though "1E5" would be numeric
        {u"R 1E5", u"R 1E6"},
        {u"X&H10", u"X&H11"},    // "H10" is not a number, so hexadecimal never counts
        {u"P$5", u"P6"},         // the currency symbol belongs to the tail
        {u"P$$5", u"P$6"},
        {u"Q-$ 5", u"Q-4"},
        {u"Q+-5", u"Q+-4"},      // one sign only
        {u"N1,000", u"N1,1"},    // ",000" is not a number: grouped digits never count
        {u"A(5)", u"A(5)1"},
        {u"A.5.5", u"A.6.5"},
        {u"\t 9", u"10"},
        {u"\u4e2d\u6587", u"\u4e2d\u65871"},
        {u"ABC\uFF19", u"ABC\uFF191"},  // full-width digit: not numeric for the double
    };
    for (const auto& c : cases) EXPECT_EQ(Count(c.in), c.out) << Shown(c.in);
    EXPECT_EQ(Count(u"K\u20AC7,5", RuleNumbers(kEuropean)), u"K8.5");
    EXPECT_EQ(Count(u"NT$5", RuleNumbers(kLongCurrency)), u"NT$6");  // "$5" is not a number there
}

TEST(AddStrNum, AsksThePlatformAtMostTwice) {
    const struct {
        const char16_t* text;
        long tests;
    } cases[] = {
        {u"BILL009", 2},  // the tail "009", and "L009" refused
        {u"ABC", 1},      // "C" refused
        {u"", 0},
        {u"123", 1},      // the whole text: nothing longer to refuse
    };
    for (const auto& c : cases) {
        long tests = -1;
        Count(c.text, &tests);
        EXPECT_EQ(tests, c.tests);
    }
}

// The step-by-step loop over the same number rule decides the expected result;
// the single pass must also agree with the rule itself (at most two tests).
void ExpectStepwise(std::u16string_view str, const RuleNumbers& numbers) {
    long tests = 0;
    const std::u16string fast = Count(str, numbers, &tests);
    const std::u16string slow = StepwiseAddStrNum(str, numbers);
    EXPECT_EQ(fast, slow) << Shown(str);
    EXPECT_LE(tests, 2) << Shown(str);
}

TEST(AddStrNum, MatchesStepByStepOnRandomTexts) {
    std::mt19937 random(18);
    const std::u16string alphabet = u"0123456789000999 \t+-.,$e&H()A\u20AC\u00A5NT\u4e2d\u00A0";
    for (const NumberSymbols& symbols : {NumberSymbols{}, kEuropean, kNoGrouping, kLongCurrency}) {
        const RuleNumbers numbers(symbols);
        for (int round = 0; round < 20000; ++round) {
            std::u16string text(random() % 16, u' ');
            for (char16_t& c : text) c = alphabet[random() % alphabet.size()];
            ExpectStepwise(text, numbers);
        }
    }
}

TEST(AddStrNum, MatchesStepByStepAtTheEdgesOfTheDouble) {
    char max[400];
    std::snprintf(max, sizeof max, "%.0f", DBL_MAX);  // the 309 digits of the largest double
    // 2^1024 - 2^970: the smallest integer that rounds up to infinity.
    const std::string rounds =
        "17976931348623158079372897140530341507993413271003782693617377898044496829276475094664901797758720709633028"
        "64166928879109465555478519404026306574886715058206819089020007083836762738548458177115317644757302700698555"
        "71366959622842914819860834936475292719074168444365510704342711559699508093042880177904174497792";
    std::string below = rounds;
    below.back() = '1';
    const RuleNumbers numbers;
    for (const std::string& digits : {std::string(max), rounds, below, "9" + std::string(max), std::string(308, '9'),
                                      std::string(309, '9'), "1" + std::string(308, '0'), "0." + std::string(400, '9')})
        for (const char* before : {"A", "A0000", "A-", "A$ ", "A9"}) ExpectStepwise(U(before + digits), numbers);
}

TEST(AddStrNum, MatchesStepByStepOnTheLongestTexts) {
    const std::size_t n = vemo::kAddStrNumMaxLength;
    const RuleNumbers numbers;
    const std::u16string texts[] = {
        std::u16string(n - 1, u'0') + u'9',           // every tail numeric
        std::u16string(n, u'9'),                      // stops when out of range
        std::u16string(n - 1, u' ') + u'5',           // blanks lead
        u"-" + std::u16string(n - 2, u' ') + u'5',
        u"." + std::u16string(n - 2, u'0') + u'1',    // a tiny fraction
        u"$" + std::u16string(n - 3, u'0') + u".5",
        std::u16string(n - 1, u'A') + u'9',
    };
    for (const std::u16string& text : texts) ExpectStepwise(text, numbers);
}

// Where the platform refuses what the rule accepts, the tails are tested one by
// one and the platform's answer stands.
class NoBlanksNumbers : public RuleNumbers {
public:
    bool TryParse(std::u16string_view text, double& value) const override {
        return text.find(u' ') == std::u16string_view::npos && RuleNumbers::TryParse(text, value);
    }
};

TEST(AddStrNum, ThePlatformDecidesWhereTheRuleDiffers) {
    const NoBlanksNumbers strict;
    EXPECT_EQ(Count(u"A 7", strict), u"A 8");
    EXPECT_EQ(Count(u"A -7", strict), u"A -6");
    // Symbols that could be read two ways: the single pass is not used.
    const RuleNumbers blankGroups(NumberSymbols{u'.', u' ', u"$"});
    long tests = 0;
    EXPECT_EQ(Count(u"A1 234", blankGroups, &tests), StepwiseAddStrNum(u"A1 234", blankGroups));
    EXPECT_EQ(tests, 6);
}

TEST(AddStrNum, Accepts32767Characters) {
    std::u16string str(vemo::kAddStrNumMaxLength - 1, u'A');
    str += u'9';
    long tests = 0;
    EXPECT_EQ(Count(str, &tests), std::u16string(vemo::kAddStrNumMaxLength - 1, u'A') + u"10");
    EXPECT_EQ(tests, 2);

    std::u16string blanks(vemo::kAddStrNumMaxLength - 1, u' ');
    blanks += u'5';
    EXPECT_EQ(Count(blanks, &tests), u"6");
    EXPECT_EQ(tests, 1);
}

TEST(AddStrNum, LongerThan32767IsOverflow) {
    RuleNumbers numbers;
    long tests = -1;
    const std::u16string str(vemo::kAddStrNumMaxLength + 1, u'A');
    EXPECT_EQ(AddStrNum(str, numbers, &tests), CoreError::Overflow);
    EXPECT_EQ(tests, 0);
}

}  // namespace
