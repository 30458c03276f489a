// AddStrNum with a test double of the platform's numeric rules.
#include "util/text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using vemo::AddStrNum;
using vemo::AddStrNumStatus;

// Close enough to VarR8FromStr / VarBstrFromR8 for the edge cases: optional
// blanks around, an optional sign, digits with one optional '.', an optional
// exponent; out-of-range values are refused (as DISP_E_OVERFLOW). Whole
// numbers are formatted as plain digits, others with 15 significant digits.
// Locale separators, currency, parentheses and trailing signs are left out.
class AutomationLikeNumbers : public vemo::NumericText {
public:
    bool TryParse(std::u16string_view text, double& value) const override {
        std::size_t b = 0;
        std::size_t e = text.size();
        while (b < e && text[b] == u' ') ++b;
        while (e > b && text[e - 1] == u' ') --e;
        std::string ascii;
        std::size_t i = b;
        auto digits = [&] {
            std::size_t count = 0;
            while (i < e && text[i] >= u'0' && text[i] <= u'9') ++i, ++count;
            return count;
        };
        if (i < e && (text[i] == u'+' || text[i] == u'-')) ++i;
        std::size_t mantissa = digits();
        if (i < e && text[i] == u'.') {
            ++i;
            mantissa += digits();
        }
        if (mantissa == 0) return false;
        if (i < e && (text[i] == u'e' || text[i] == u'E')) {
            ++i;
            if (i < e && (text[i] == u'+' || text[i] == u'-')) ++i;
            if (digits() == 0) return false;
        }
        if (i != e) return false;
        for (std::size_t k = b; k < e; ++k) ascii.push_back(static_cast<char>(text[k]));
        errno = 0;
        const double v = std::strtod(ascii.c_str(), nullptr);
        if (errno == ERANGE && std::isinf(v)) return false;
        value = v;
        return true;
    }

    std::u16string Format(double value) const override {
        char buffer[64];
        if (std::floor(value) == value && std::fabs(value) < 1e15)
            std::snprintf(buffer, sizeof buffer, "%.0f", value);
        else
            std::snprintf(buffer, sizeof buffer, "%.15g", value);
        std::u16string out;
        for (const char* p = buffer; *p; ++p) out.push_back(static_cast<char16_t>(*p));
        return out;
    }
};

std::u16string Count(std::u16string_view str, long* tests = nullptr) {
    AutomationLikeNumbers numbers;
    std::u16string out = u"untouched";
    EXPECT_EQ(AddStrNum(str, numbers, out, tests), AddStrNumStatus::Ok);
    return out;
}

TEST(AutomationLikeNumbers, AcceptsTheAutomationShapes) {
    AutomationLikeNumbers n;
    double v = 0;
    EXPECT_TRUE(n.TryParse(u" -12.5e1 ", v));
    EXPECT_EQ(v, -125);
    EXPECT_TRUE(n.TryParse(u".5", v));
    EXPECT_FALSE(n.TryParse(u"", v));
    EXPECT_FALSE(n.TryParse(u"-", v));
    EXPECT_FALSE(n.TryParse(u"1e", v));
    EXPECT_FALSE(n.TryParse(u"1.2.3", v));
    EXPECT_FALSE(n.TryParse(u"L009", v));
    EXPECT_FALSE(n.TryParse(u"1e999", v));
    EXPECT_EQ(n.Format(10), u"10");
    EXPECT_EQ(n.Format(-4), u"-4");
    EXPECT_EQ(n.Format(2.5), u"2.5");
}

TEST(AddStrNum, SpecExamples) {
    EXPECT_EQ(Count(u"ABC"), u"ABC1");
    EXPECT_EQ(Count(u"ABC9"), u"ABC10");
    EXPECT_EQ(Count(u"BILL009"), u"BILL10");
    EXPECT_EQ(Count(u"123"), u"124");
    EXPECT_EQ(Count(u""), u"1");
    EXPECT_EQ(Count(u"A-5"), u"A-4");
    EXPECT_EQ(Count(u"X1.5"), u"X2.5");
}

TEST(AddStrNum, MoreShapes) {
    EXPECT_EQ(Count(u"-1"), u"0");
    EXPECT_EQ(Count(u"A 7"), u"A8");            // " 7" is numeric: the blank belongs to the tail
    EXPECT_EQ(Count(u"A7 "), u"A7 1");          // a lone trailing blank is not: the loop stops at once
    EXPECT_EQ(Count(u"   "), u"   1");          // blanks alone are not a number
    EXPECT_EQ(Count(u"R1E5"), u"R1E6");         // stops at "E5", though "1E5" would be numeric
    EXPECT_EQ(Count(u"R 1E5"), u"R 1E6");
    EXPECT_EQ(Count(u"\u4e2d\u6587"), u"\u4e2d\u65871");
    EXPECT_EQ(Count(u"ABC\uFF19"), u"ABC\uFF191");  // full-width digit: not numeric for the double
}

TEST(AddStrNum, CountsNumericTests) {
    long tests = -1;
    Count(u"BILL009", &tests);
    EXPECT_EQ(tests, 4);  // "9", "09", "009", "L009"
    Count(u"ABC", &tests);
    EXPECT_EQ(tests, 1);
    Count(u"", &tests);
    EXPECT_EQ(tests, 0);
    Count(u"123", &tests);
    EXPECT_EQ(tests, 3);  // the loop ends at i = n + 1 without a fourth test
}

TEST(AddStrNum, Accepts32767Characters) {
    std::u16string str(vemo::kAddStrNumMaxLength - 1, u'A');
    str += u'9';
    long tests = 0;
    const std::u16string out = Count(str, &tests);
    EXPECT_EQ(tests, 2);
    EXPECT_EQ(out, std::u16string(vemo::kAddStrNumMaxLength - 1, u'A') + u"10");

    // Every tail numeric: the loop runs to i = 32768, past the 16-bit range.
    std::u16string blanks(vemo::kAddStrNumMaxLength - 1, u' ');
    blanks += u'5';
    EXPECT_EQ(Count(blanks, &tests), u"6");
    EXPECT_EQ(tests, static_cast<long>(vemo::kAddStrNumMaxLength));
}

TEST(AddStrNum, LongerThan32767IsOverflow) {
    AutomationLikeNumbers numbers;
    std::u16string out = u"untouched";
    long tests = -1;
    const std::u16string str(vemo::kAddStrNumMaxLength + 1, u'A');
    EXPECT_EQ(AddStrNum(str, numbers, out, &tests), AddStrNumStatus::Overflow);
    EXPECT_EQ(out, u"untouched");
    EXPECT_EQ(tests, 0);
}

}  // namespace
