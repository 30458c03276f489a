#include "buttons/button_numbering.h"

namespace vemo {

std::u16string ButtonNumbering::NextKey() const {
    // The counter is never negative: plain digits, no sign, no padding.
    char16_t digits[10];
    int n = 0;
    std::uint32_t value = static_cast<std::uint32_t>(counter_);
    do {
        digits[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    std::u16string key;
    while (n > 0) key.push_back(digits[--n]);
    return key;
}

Result<void> ButtonNumbering::Advance() noexcept {
    if (counter_ == kLast) return CoreError::Overflow;
    ++counter_;
    return {};
}

}  // namespace vemo
