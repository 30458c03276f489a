// The numeric tail of a text, found in one right-to-left pass.
//
// The counting loop tests ever longer tails until one is not a number. Every
// tail it accepts ends in the text's last character, so that character is a
// digit, and every character of the tail starts a number of its own. Under the
// number rule (see text.h) that leaves only this shape for an accepted tail:
//
//     leads  digits [decimal point digits]     or     leads  decimal point digits
//
// where "leads" are blanks, at most one sign and at most one currency symbol
// in any order. A thousands separator, an exponent letter, '(', ')' or "&H"
// never starts a number, so the loop stops at the first of them; trailing
// signs, currency and blanks never precede a final digit. Extending a tail one
// character to the left therefore needs only a few flags, and the value's
// range only the count of significant integer digits: a double holds every
// integer of up to 308 digits, none of 310 or more, and of 309 digits exactly
// those below 2^1024 - 2^970, the first value that rounds to infinity.
#include <cmath>
#include <cstdlib>
#include <string>

#include "util/text.h"

namespace vemo {

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

constexpr std::size_t kMaxFiniteDigits = 308;  // 10^308 - 1 < DBL_MAX < 10^309

// True when the 309 digits at `digits` are an integer too large for a double.
bool Overflows309(std::u16string_view digits) {
    std::string ascii(digits.begin(), digits.end());
    return std::isinf(std::strtod(ascii.c_str(), nullptr));
}

// The shape above holds only when none of the locale's symbols can be read
// two ways; otherwise the caller tests tail by tail.
bool Modelled(const NumberSymbols& s) {
    auto plain = [](char16_t c) {
        return !IsDigit(c) && !IsNumberBlank(c) && c != u'+' && c != u'-' && c != u'(' && c != u')' && c != u'&' &&
               c != u'e' && c != u'E' && c != 0;
    };
    const bool noThousands = s.thousands == 0;
    if (!plain(s.decimal) || (!noThousands && !plain(s.thousands)) || s.decimal == s.thousands) return false;
    if (s.currency.empty()) return false;
    for (char16_t c : s.currency)
        if (!plain(c) || c == s.decimal || c == s.thousands) return false;
    // A longer symbol never lies whole in an accepted tail when its later
    // characters cannot start a number, which `plain` ensures except for a
    // repeat of its own first character.
    for (std::size_t k = 1; k < s.currency.size(); ++k)
        if (s.currency[k] == s.currency[0]) return false;
    return true;
}

}  // namespace

bool IsNumberBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

std::optional<std::size_t> NumericTailLength(std::u16string_view str, const NumberSymbols& symbols) {
    if (!Modelled(symbols)) return std::nullopt;
    const std::size_t n = str.size();
    if (n == 0 || !IsDigit(str[n - 1])) return 0;

    const bool oneCharCurrency = symbols.currency.size() == 1;
    bool inLeads = false;  // past the digits, among blanks, sign and currency
    bool decimal = false, sign = false, currency = false;
    std::size_t integerEnd = n;  // one past the integer digits
    std::size_t p = n - 1;       // the tail is str[p, n)
    while (p > 0) {
        const char16_t c = str[p - 1];
        if (!inLeads && c == u'0') {
            // Zeros change no significance: a run of them costs one compare each.
            while (p > 1 && str[p - 2] == u'0') --p;
        } else if (!inLeads && IsDigit(c)) {
            const std::size_t significant = integerEnd - (p - 1);
            if (significant > kMaxFiniteDigits + 1) break;
            if (significant == kMaxFiniteDigits + 1 && Overflows309(str.substr(p - 1, significant))) break;
        } else if (!inLeads && c == symbols.decimal && !decimal) {
            decimal = true;
            integerEnd = p - 1;  // the digits so far were the fraction
        } else if (IsNumberBlank(c)) {
            inLeads = true;
        } else if ((c == u'+' || c == u'-') && !sign) {
            inLeads = sign = true;
        } else if (oneCharCurrency && c == symbols.currency[0] && !currency) {
            inLeads = currency = true;
        } else {
            break;
        }
        --p;
    }
    return n - p;
}

}  // namespace vemo
