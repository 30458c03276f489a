// AddStrNum on its longest legal inputs, against one linear scan of the text
// and the step-by-step loop.
#include "../tests/support/addstrnum_stepwise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "bench.h"
#include "util/text.h"

namespace vemo::bench {

namespace {

// A fast stand-in for VarR8FromStr / VarBstrFromR8: optional blanks, sign,
// digits, '.', exponent; a value beyond the double range is refused, as the
// platform refuses it with an overflow.
class FastNumbers : public NumericText {
public:
    bool TryParse(std::u16string_view t, double& value) const override {
        std::size_t i = 0, e = t.size();
        while (i < e && t[i] == u' ') ++i;
        while (e > i && t[e - 1] == u' ') --e;
        bool negative = false;
        if (i < e && (t[i] == u'+' || t[i] == u'-')) negative = t[i++] == u'-';
        std::size_t zeros = 0;  // leading zeros are skipped first, as the platform does
        while (i < e && t[i] == u'0') ++i, ++zeros;
        double v = 0;
        std::size_t digits = 0;
        int scale = 0;
        for (; i < e && t[i] >= u'0' && t[i] <= u'9'; ++i, ++digits) v = v * 10 + (t[i] - u'0');
        digits += zeros;
        if (i < e && t[i] == u'.') {
            ++i;
            if (digits == zeros)  // no digit but zeros yet: the fraction's zeros are skipped too
                while (i < e && t[i] == u'0') ++i, ++digits, --scale;
            for (; i < e && t[i] >= u'0' && t[i] <= u'9'; ++i, ++digits, --scale) v = v * 10 + (t[i] - u'0');
        }
        if (digits == 0) return false;
        if (i < e && (t[i] == u'e' || t[i] == u'E')) {
            ++i;
            bool minus = false;
            if (i < e && (t[i] == u'+' || t[i] == u'-')) minus = t[i++] == u'-';
            int exponent = 0;
            std::size_t expDigits = 0;
            for (; i < e && t[i] >= u'0' && t[i] <= u'9'; ++i, ++expDigits)
                exponent = std::min(exponent * 10 + (t[i] - u'0'), 100000);
            if (expDigits == 0) return false;
            scale += minus ? -exponent : exponent;
        }
        if (i != e) return false;
        v *= std::pow(10.0, scale);
        if (!std::isfinite(v)) return false;
        value = negative ? -v : v;
        return true;
    }

    std::u16string Format(double value) const override {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, std::fabs(value) < 1e15 ? "%.0f" : "%.15g", value);
        return std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
    }
};

void Measure(const char* name, const std::u16string& str, bool stepwiseToo) {
    FastNumbers numbers;
    long tests = 0;
    const vemo::Result<std::u16string> first = AddStrNum(str, numbers, &tests);
    if (!first.ok() || *first != vemo::reference::StepwiseAddStrNum(str, numbers)) {
        std::printf("  %s MISMATCH between AddStrNum and the step-by-step loop\n", name);
        return;
    }
    const double scan = BestSeconds(30, [&] {
        sink = sink + static_cast<std::size_t>(std::count(str.begin(), str.end(), u'0'));
    });
    const double fast = BestSeconds(30, [&] {
        const vemo::Result<std::u16string> out = AddStrNum(str, numbers, &tests);
        sink = sink + out->size();
    });
    std::printf("  %-40s %8.3f ms, %ld numeric tests, %6.2f x one linear scan (goal <= 5)\n", name, fast * 1e3,
                tests, fast / scan);
    if (stepwiseToo) {
        const double slow = BestSeconds(1, [&] { sink = sink + vemo::reference::StepwiseAddStrNum(str, numbers).size(); });
        std::printf("  %-40s %8.3f ms, %.0f x AddStrNum\n", "  step-by-step loop, same text:", slow * 1e3, slow / fast);
    }
}

}  // namespace

void RunAddStrNumBench() {
    const std::size_t n = kAddStrNumMaxLength;
    std::printf("AddStrNum: %zu characters\n", n);
    Measure("'0' ... '0' '9' (every tail numeric):", std::u16string(n - 1, u'0') + u"9", true);
    Measure("all '9' (stops when out of range):", std::u16string(n, u'9'), false);
    Measure("blanks, then '5':", std::u16string(n - 1, u' ') + u"5", false);
    Measure("'.' '0' ... '0' '1' (a tiny fraction):", u"." + std::u16string(n - 2, u'0') + u"1", false);
    Measure("'A' ... 'A' '9':", std::u16string(n - 1, u'A') + u"9", false);
}

}  // namespace vemo::bench
