// AddStrNum: count up the number at the end of a text.
#include "util/text.h"

namespace vemo {

AddStrNumStatus AddStrNum(std::u16string_view str, const NumericText& numbers, std::u16string& out,
                          long* numericTests) {
    if (numericTests) *numericTests = 0;
    if (str.size() > kAddStrNumMaxLength) return AddStrNumStatus::Overflow;

    // The lengths are 16-bit values; i may reach n + 1 = 32768,
    // so it is held wider here and a 32767-character text is accepted whole.
    const long n = static_cast<long>(str.size());
    long i = 1;
    double tail = 0;  // value of the last i - 1 characters, once i > 1
    while (i <= n) {
        double value = 0;
        if (numericTests) ++*numericTests;
        if (!numbers.TryParse(str.substr(static_cast<std::size_t>(n - i)), value)) break;
        tail = value;
        ++i;
    }

    std::u16string result;
    if (i == 1) {
        result.reserve(str.size() + 1);
        result.append(str);
        result.push_back(u'1');
    } else {
        result.assign(str.substr(0, static_cast<std::size_t>(n - i + 1)));
        result.append(numbers.Format(1 + tail));
    }
    out.swap(result);
    return AddStrNumStatus::Ok;
}

}  // namespace vemo
