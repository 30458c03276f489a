// AddStrNum in its step-by-step form, with a number rule read whole, left to
// right, from its description (optional blanks, leads, a number, trails,
// blanks; see NumericText in util/text.h): the reference that tests, fuzzers
// and the benchmark compare with.
#pragma once
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <string>
#include <optional>
#include <string_view>
#include <vector>

#include "util/text.h"

namespace vemo::reference {

// The step-by-step loop reads 32,767-character texts some 32,767 times over:
// the reference's reading runs without the sanitizers' checks, which would
// make it a minute.
#if defined(__GNUC__)
#define VEMO_UNCHECKED __attribute__((no_sanitize("address", "undefined")))
#else
#define VEMO_UNCHECKED
#endif

class RuleNumbers : public NumericText {
public:
    explicit RuleNumbers(NumberSymbols symbols = {}) : symbols_(std::move(symbols)) {}

    NumberSymbols Symbols() const override { return symbols_; }

    VEMO_UNCHECKED bool TryParse(std::u16string_view text, double& value) const override {
        const char16_t* t = text.data();
        std::size_t i = 0;
        const std::size_t e = text.size();
        auto blanks = [&]() VEMO_UNCHECKED {
            while (i < e && (t[i] == u' ' || t[i] == u'\t' || t[i] == u'\n' || t[i] == u'\v' || t[i] == u'\f' ||
                             t[i] == u'\r'))
                ++i;
        };
        auto currencyAt = [&]() VEMO_UNCHECKED {
            const std::u16string& c = symbols_.currency;
            return !c.empty() && text.substr(i, c.size()) == c;
        };
        char leadSign = 0;
        bool leadCurrency = false, paren = false;
        blanks();
        for (;;) {
            if (!leadSign && i < e && (t[i] == u'+' || t[i] == u'-'))
                leadSign = static_cast<char>(t[i++]);
            else if (!leadCurrency && currencyAt())
                leadCurrency = true, i += symbols_.currency.size();
            else if (!paren && i < e && t[i] == u'(')
                paren = true, ++i;
            else
                break;
            blanks();
        }

        double magnitude = 0;
        bool plainDecimal = false;
        if (i + 1 < e && t[i] == u'&' && !leadCurrency &&
            (t[i + 1] == u'H' || t[i + 1] == u'h' || t[i + 1] == u'O' || t[i + 1] == u'o')) {
            const unsigned base = (t[i + 1] == u'H' || t[i + 1] == u'h') ? 16 : 8;
            i += 2;
            std::uint64_t v = 0;
            std::size_t count = 0;
            for (; i < e; ++i, ++count) {
                unsigned d;
                if (t[i] >= u'0' && t[i] <= u'9') d = t[i] - u'0';
                else if (base == 16 && t[i] >= u'a' && t[i] <= u'f') d = t[i] - u'a' + 10;
                else if (base == 16 && t[i] >= u'A' && t[i] <= u'F') d = t[i] - u'A' + 10;
                else break;
                if (d >= base) break;
                if (v > (UINT64_MAX - d) / base) return false;  // 2^64 or more
                v = v * base + d;
            }
            if (count == 0) return false;
            magnitude = static_cast<double>(v);
        } else {
            // The digits go into a C number, without leading zeros (the
            // exponent takes the place of a fraction's), so that strtod reads
            // a short text: integer digits, '.', fraction, exponent.
            auto isDigit = [&](std::size_t k) VEMO_UNCHECKED { return k < e && t[k] >= u'0' && t[k] <= u'9'; };
            std::string c;
            std::size_t digits = 0;
            long shift = 0;
            const std::size_t start = i;
            while (i < e && (t[i] == u'0' || (i > start && t[i] == symbols_.thousands && t[i] != 0))) {
                digits += t[i] == u'0';
                ++i;
            }
            while (isDigit(i) || (i > start && symbols_.thousands != 0 && i < e && t[i] == symbols_.thousands)) {
                if (isDigit(i)) c += static_cast<char>(t[i]), ++digits;
                ++i;
            }
            if (i < e && t[i] == symbols_.decimal) {
                ++i;
                if (c.empty())
                    while (isDigit(i) && t[i] == u'0') ++i, ++digits, --shift;
                c += '.';
                while (isDigit(i)) c += static_cast<char>(t[i++]), ++digits;
            }
            if (digits == 0) return false;
            if (!leadCurrency && i < e && (t[i] == u'e' || t[i] == u'E')) {
                ++i;
                bool minus = false;
                if (i < e && (t[i] == u'+' || t[i] == u'-')) minus = t[i++] == u'-';
                long exponent = 0;
                std::size_t expDigits = 0;
                for (; isDigit(i); ++i, ++expDigits) exponent = std::min(exponent * 10 + (t[i] - u'0'), 1000000L);
                if (expDigits == 0) return false;
                shift += minus ? -exponent : exponent;
            } else {
                plainDecimal = true;
            }
            c += "e" + std::to_string(shift);
            errno = 0;
            magnitude = std::strtod(c.c_str(), nullptr);
            if (std::isinf(magnitude)) return false;
        }

        char trailSign = 0;
        bool trailCurrency = false, closed = false;
        for (;;) {
            blanks();
            if (!leadSign && !trailSign && i < e && (t[i] == u'+' || t[i] == u'-'))
                trailSign = static_cast<char>(t[i++]);
            else if (!leadCurrency && !trailCurrency && currencyAt())
                trailCurrency = true, i += symbols_.currency.size();
            else if (paren && !closed && i < e && t[i] == u')')
                closed = true, ++i;
            else
                break;
        }
        if (i != e || paren != closed) return false;
        if (trailCurrency && !plainDecimal) return false;  // no currency with hex or an exponent
        value = (leadSign == '-' || trailSign == '-' || paren) ? -magnitude : magnitude;
        return true;
    }

    // Whole numbers below 10^15 as plain digits, others with 15 significant
    // digits, as the platform writes a double.
    std::u16string Format(double value) const override {
        char buffer[400];
        if (std::floor(value) == value && std::fabs(value) < 1e15)
            std::snprintf(buffer, sizeof buffer, "%.0f", value);
        else
            std::snprintf(buffer, sizeof buffer, "%.15g", value);
        std::u16string out;
        for (const char* p = buffer; *p; ++p) out.push_back(static_cast<char16_t>(*p));
        return out;
    }

private:
    NumberSymbols symbols_;
};

// A plain integer tail (a sign, then digits only) of more than 15 significant
// digits, or whose successor has more, counted up on its digits: the value
// as little-endian digits, its magnitude moved by one towards the successor,
// carries and borrows worked through, then written without leading zeros.
// Empty where the double counts exactly.
inline std::optional<std::u16string> LongIntegerSuccessor(std::u16string_view tail) {
    bool negative = false;
    if (!tail.empty() && (tail[0] == u'+' || tail[0] == u'-')) negative = tail[0] == u'-', tail.remove_prefix(1);
    if (tail.empty() || !std::all_of(tail.begin(), tail.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    std::vector<int> digits;  // least significant first
    for (auto c = tail.rbegin(); c != tail.rend(); ++c) digits.push_back(*c - u'0');
    auto significant = [&] {
        std::size_t k = digits.size();
        while (k > 0 && digits[k - 1] == 0) --k;
        return k;
    };
    const std::size_t before = significant();
    if (before < 15) return std::nullopt;  // one step adds at most one digit
    const int step = negative ? -1 : 1;  // on the magnitude
    digits.push_back(0);
    for (std::size_t p = 0; p < digits.size(); ++p) {
        digits[p] += p == 0 ? step : 0;
        if (digits[p] == 10) digits[p] = 0, digits[p + 1] += 1;
        else if (digits[p] == -1) digits[p] = 9, digits[p + 1] -= 1;
        else break;
    }
    const std::size_t after = significant();
    if (std::max(before, after) <= 15) return std::nullopt;
    std::u16string out = negative && after > 0 ? u"-" : u"";
    for (std::size_t p = after; p-- > 0;) out.push_back(static_cast<char16_t>(u'0' + digits[p]));
    return out.empty() ? u"0" : out;
}

// The plain loop: test the last i characters for i = 1, 2, ... until they are
// not a number; the part before the tail, then the tail's value plus one.
inline std::u16string StepwiseAddStrNum(std::u16string_view str, const NumericText& numbers) {
    const long n = static_cast<long>(str.size());
    long i = 1;
    double tail = 0;
    while (i <= n) {
        double value = 0;
        if (!numbers.TryParse(str.substr(static_cast<std::size_t>(n - i)), value)) break;
        tail = value;
        ++i;
    }
    if (i == 1) return std::u16string(str) + u'1';
    const std::size_t keep = static_cast<std::size_t>(n - i + 1);
    if (const auto exact = LongIntegerSuccessor(str.substr(keep))) return std::u16string(str.substr(0, keep)) + *exact;
    return std::u16string(str.substr(0, keep)) + numbers.Format(1 + tail);
}

}  // namespace vemo::reference
