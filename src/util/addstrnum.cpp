// AddStrNum: count up the number at the end of a text.
//
// The plain form tests the last 1, 2, 3, ... characters until one is not a
// number: quadratic, a second for a 32,767-character text of digits. Here the
// tail comes from one pass (NumericTailLength) and the platform parses only
// the tail and the tail one character longer, to confirm the pass agrees with
// it at the boundary.
//
// A double holds every integer of up to 15 digits, and the platform writes
// such a sum in plain digits. Codes that carry a date, a time and a counter
// pass that easily, and the double would turn "INV1234567890123456" into
// "INV1.23456789012346E+15": a plain integer tail of more digits is counted
// up in decimal instead.
#include "util/text.h"

#include <algorithm>

namespace vemo {

namespace {

struct Counted {
    const NumericText& numbers;
    long* tests;
    bool Parse(std::u16string_view text, double& value) const {
        if (tests) ++*tests;
        return numbers.TryParse(text, value);
    }
};

// The tail length the plain loop finds, testing tail by tail; `tail`
// receives the value of the longest numeric one.
std::size_t TailByTail(std::u16string_view str, const Counted& numbers, double& tail) {
    const std::size_t n = str.size();
    std::size_t length = 0;
    double value = 0;
    while (length < n && numbers.Parse(str.substr(n - length - 1), value)) {
        tail = value;
        ++length;
    }
    return length;
}

bool IsDecimalDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Integers the double counts up exactly, in plain digits.
constexpr std::size_t kExactDigits = 15;

// The successor of `tail` in plain digits when it is a plain integer (an
// optional sign and decimal digits, nothing else) and it or its successor
// has more than 15 significant digits; empty for every other tail. As the
// platform writes a number: no leading zeros, no '+'. Linear in the tail.
std::optional<std::u16string> ExactSuccessor(std::u16string_view tail) {
    const bool negative = !tail.empty() && tail[0] == u'-';
    if (!tail.empty() && (tail[0] == u'-' || tail[0] == u'+')) tail.remove_prefix(1);
    if (tail.empty()) return std::nullopt;
    for (char16_t c : tail)
        if (!IsDecimalDigit(c)) return std::nullopt;
    const std::size_t zeros = std::min(tail.find_first_not_of(u'0'), tail.size());
    const std::u16string_view digits = tail.substr(zeros);
    const std::size_t k = digits.size();
    const bool allNines = digits.find_first_not_of(u'9') == std::u16string_view::npos;
    if (k < kExactDigits || (k == kExactDigits && (negative || !allNines))) return std::nullopt;

    std::u16string out(digits);
    if (!negative) {
        // +1: the trailing nines become zeros, the digit before them grows.
        std::size_t j = k;
        while (j > 0 && out[j - 1] == u'9') out[--j] = u'0';
        if (j == 0) out.insert(out.begin(), u'1');
        else ++out[j - 1];
        return out;
    }
    // -m + 1 = -(m - 1), m having at least 16 digits: the trailing zeros
    // become nines, the digit before them shrinks, and a leading 1 that
    // becomes 0 goes.
    std::size_t j = k;
    while (out[j - 1] == u'0') out[--j] = u'9';
    --out[j - 1];
    if (out[0] == u'0') out.erase(out.begin());
    out.insert(out.begin(), u'-');
    return out;
}

}  // namespace

Result<std::u16string> AddStrNum(std::u16string_view str, const NumericText& numbers, long* numericTests) {
    if (numericTests) *numericTests = 0;
    // The lengths are 16-bit values; the plain loop's counter may reach
    // n + 1 = 32768, so a 32767-character text is still accepted whole.
    if (str.size() > kAddStrNumMaxLength) return CoreError::Overflow;

    const Counted counted{numbers, numericTests};
    const std::size_t n = str.size();
    double tail = 0;
    std::size_t length = 0;
    const std::optional<std::size_t> modelled = NumericTailLength(str, numbers.Symbols());
    if (!modelled) {
        length = TailByTail(str, counted, tail);
    } else {
        length = *modelled;
        double ignored = 0;
        const bool agrees = (length == 0 || counted.Parse(str.substr(n - length), tail)) &&
                            (length == n || !counted.Parse(str.substr(n - length - 1), ignored));
        if (!agrees) length = TailByTail(str, counted, tail);
    }

    std::u16string result;
    if (length == 0) {
        result.reserve(n + 1);
        result.append(str);
        result.push_back(u'1');
    } else {
        result.assign(str.substr(0, n - length));
        if (const std::optional<std::u16string> exact = ExactSuccessor(str.substr(n - length)))
            result.append(*exact);
        else
            result.append(numbers.Format(1 + tail));
    }
    return result;
}

}  // namespace vemo
