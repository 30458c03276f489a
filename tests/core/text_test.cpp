// Text utilities: blanks, trimming, the combined string, GetString.
#include "../support/getstring_stepwise.h"
#include "util/text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using vemo::GetComString;
using vemo::GetString;
using vemo::IsBlankText;
using vemo::MakeComString;
using vemo::TrimSpaces;


TEST(IsBlankText, EmptyAndBlanksAreBlank) {
    EXPECT_TRUE(IsBlankText(u""));
    EXPECT_TRUE(IsBlankText(u" "));
    EXPECT_TRUE(IsBlankText(u"   "));
}

TEST(IsBlankText, OtherWhiteSpaceIsNotBlank) {
    EXPECT_FALSE(IsBlankText(u"\t"));
    EXPECT_FALSE(IsBlankText(u"\u3000"));
    EXPECT_FALSE(IsBlankText(u"\u00A0"));
    EXPECT_FALSE(IsBlankText(u" \n "));
    EXPECT_FALSE(IsBlankText(u"  a"));
    EXPECT_FALSE(IsBlankText(std::u16string(1, u'\0')));
}

TEST(TrimSpaces, StripsOnlyU0020AtBothEnds) {
    EXPECT_EQ(TrimSpaces(u"  ab c  "), u"ab c");
    EXPECT_EQ(TrimSpaces(u"   "), u"");
    EXPECT_EQ(TrimSpaces(u""), u"");
    EXPECT_EQ(TrimSpaces(u"x"), u"x");
    EXPECT_EQ(TrimSpaces(u"\t a \t"), u"\t a \t");
    EXPECT_EQ(TrimSpaces(u" \u3000a "), u"\u3000a");
}

TEST(MakeComString, PadsFirstTextTo500) {
    const std::u16string out = MakeComString(u"abc", u"xyz");
    ASSERT_EQ(out.size(), 503u);
    EXPECT_EQ(out.substr(0, 3), u"abc");
    EXPECT_EQ(out.substr(3, 497), std::u16string(497, u' '));
    EXPECT_EQ(out.substr(500), u"xyz");
}

TEST(MakeComString, CutsFirstTextTo500) {
    std::u16string first(600, u'a');
    for (std::size_t i = 0; i < first.size(); ++i) first[i] = static_cast<char16_t>(u'a' + i % 26);
    const std::u16string out = MakeComString(first, u"tail");
    EXPECT_EQ(out, first.substr(0, 500) + u"tail");
}

TEST(MakeComString, EmptyTexts) {
    EXPECT_EQ(MakeComString(u"", u""), std::u16string(500, u' '));
    EXPECT_EQ(MakeComString(std::u16string(500, u'q'), u""), std::u16string(500, u'q'));
}

TEST(GetComString, ReturnsTheSecondText) {
    EXPECT_EQ(GetComString(MakeComString(u"abc", u"xyz")), u"xyz");
    EXPECT_EQ(GetComString(MakeComString(std::u16string(700, u'f'), u"second")), u"second");
    EXPECT_EQ(GetComString(MakeComString(u"abc", u"")), u"");
}

TEST(GetComString, ShortTextsGiveEmpty) {
    EXPECT_EQ(GetComString(std::u16string(499, u'z')), u"");
    EXPECT_EQ(GetComString(std::u16string(500, u'z')), u"");
    EXPECT_EQ(GetComString(u""), u"");
    EXPECT_EQ(GetComString(std::u16string(500, u'z') + u"!"), u"!");
}

TEST(GetString, DefaultSeparatorFields) {
    EXPECT_EQ(GetString(u"a|b|c", 1, u"|"), u"a");
    EXPECT_EQ(GetString(u"a|b|c", 2, u"|"), u"b");
    EXPECT_EQ(GetString(u"a|b|c", 3, u"|"), u"c");
    EXPECT_EQ(GetString(u"a|b|c", 4, u"|"), u"");
    EXPECT_EQ(GetString(u"a|b|c", 0, u"|"), u"");
    EXPECT_EQ(GetString(u"a|b|c", -1, u"|"), u"");
    EXPECT_EQ(GetString(u"a|b|c", -32768, u"|"), u"");
    EXPECT_EQ(GetString(u"a|b|c", 32767, u"|"), u"");
}

TEST(GetString, MultiCharacterSeparator) {
    EXPECT_EQ(GetString(u"a::b", 1, u"::"), u"a");
    EXPECT_EQ(GetString(u"a::b", 2, u"::"), u"b");
    EXPECT_EQ(GetString(u"a::b", 3, u"::"), u"");
}

TEST(GetString, EmptySeparatorGivesEmptyEverywhere) {
    for (int place = -1; place <= 4; ++place) EXPECT_EQ(GetString(u"a|b", place, u""), u"") << place;
}

TEST(GetString, EmptyFieldsAndEmptyText) {
    EXPECT_EQ(GetString(u"", 1, u"|"), u"");
    EXPECT_EQ(GetString(u"", 2, u"|"), u"");
    EXPECT_EQ(GetString(u"a||c", 2, u"|"), u"");
    EXPECT_EQ(GetString(u"a||c", 3, u"|"), u"c");
    EXPECT_EQ(GetString(u"a|", 2, u"|"), u"");  // the field before the appended separator
    EXPECT_EQ(GetString(u"a|", 3, u"|"), u"");
}

TEST(GetString, ComparesExactly) {
    EXPECT_EQ(GetString(u"aXbxc", 2, u"x"), u"c");
    EXPECT_EQ(GetString(u"aXbxc", 1, u"X"), u"a");
    EXPECT_EQ(GetString(u"\u4e2d|\u6587", 2, u"|"), u"\u6587");
}

TEST(GetString, OccurrencesStraddlingTheAppendedSeparator) {
    // Working text "a:" + "::" = "a:::": the first occurrence starts at 1.
    EXPECT_EQ(GetString(u"a:", 1, u"::"), u"a");
    EXPECT_EQ(GetString(u"a:", 2, u"::"), u"");
    // Non-overlapping, leftmost: "a:::b" + "::" -> a, ":b".
    EXPECT_EQ(GetString(u"a:::b", 1, u"::"), u"a");
    EXPECT_EQ(GetString(u"a:::b", 2, u"::"), u":b");
    EXPECT_EQ(GetString(u"a:::b", 3, u"::"), u"");
    // Borders of the separator: "abab" inside "xabababy".
    EXPECT_EQ(GetString(u"xabababy", 1, u"abab"), u"x");
    EXPECT_EQ(GetString(u"xabababy", 2, u"abab"), u"aby");
}

TEST(GetString, SeparatorLongerThanText) {
    EXPECT_EQ(GetString(u"ab", 1, u"abcd"), u"ab");
    EXPECT_EQ(GetString(u"ab", 2, u"abcd"), u"");
}

TEST(GetString, MatchesTheOriginalOnRandomTexts) {
    std::mt19937 rng(20240601);
    const std::u16string alphabet = u"ab|:";
    auto randomText = [&](std::size_t maxLen) {
        std::u16string s(rng() % (maxLen + 1), u' ');
        for (auto& c : s) c = alphabet[rng() % alphabet.size()];
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::u16string str = randomText(24);
        const std::u16string sep = randomText(4);
        const int place = static_cast<int>(rng() % 12) - 1;
        ASSERT_EQ(GetString(str, place, sep), vemo::reference::StepwiseGetString(str, place, sep))
            << "place " << place << " str size " << str.size() << " sep size " << sep.size();
    }
}

TEST(GetString, LastFieldOfAHugeText) {
    // 50,000 fields of 19 characters: 1,000,000 characters with separators.
    constexpr int kFields = 50000;
    std::u16string text;
    text.reserve(kFields * 20);
    for (int k = 1; k <= kFields; ++k) {
        std::u16string field(19, u'0');
        int v = k;
        for (int d = 18; d >= 0 && v > 0; --d, v /= 10) field[static_cast<std::size_t>(d)] = static_cast<char16_t>(u'0' + v % 10);
        text += field;
        if (k < kFields) text += u'|';
    }
    EXPECT_EQ(GetString(text, kFields, u"|"), u"0000000000000050000");
    EXPECT_EQ(GetString(text, kFields - 1, u"|"), u"0000000000000049999");
    EXPECT_EQ(GetString(text, kFields + 1, u"|"), u"");
    EXPECT_EQ(GetString(text, 32767, u"|"), u"0000000000000032767");
}

TEST(GetString, LongPathologicalSeparator) {
    // Many partial matches: a naive search would be quadratic here.
    const std::u16string str(200000, u'a');
    const std::u16string sep = std::u16string(1000, u'a') + u"b";
    EXPECT_EQ(GetString(str, 1, sep), str);
    EXPECT_EQ(GetString(str, 2, sep), u"");
    const std::u16string withSep = str + sep + u"z";
    EXPECT_EQ(GetString(withSep, 1, sep), str);
    EXPECT_EQ(GetString(withSep, 2, sep), u"z");
}

}  // namespace
