// AddStrNum: count up the number at the end of a text.
//
// The plain form tests the last 1, 2, 3, ... characters until one is not a
// number: quadratic, a second for a 32,767-character text of digits. Here the
// tail comes from one pass (NumericTailLength) and the platform parses only
// the tail and the tail one character longer, to confirm the pass agrees with
// it at the boundary.
#include "util/text.h"

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
        result.append(numbers.Format(1 + tail));
    }
    return result;
}

}  // namespace vemo
