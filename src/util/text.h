// Text utilities of VemoFuns: blank tests, the 500-character
// combined string, field picking and counting up a trailing number.
//
// Portable core: no Windows header; automation text arrives as UTF-16 in
// char16_t. Lengths and positions are counted in UTF-16 code units, as BSTR
// lengths are.
#pragma once
#include "core/result.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vemo {

// Width of the first part of a combined string (MakeComString/GetComString).
constexpr std::size_t kComStringWidth = 500;

// True when `s` is empty or holds only U+0020 (tabs, U+3000 and other white
// space are not blanks).
bool IsBlankText(std::u16string_view s);

// `first` padded with U+0020 or cut to exactly 500 characters, then `last`.
std::u16string MakeComString(std::u16string_view first, std::u16string_view last);

// Everything after the first 500 characters of `s`; empty when `s` has 500
// characters or fewer.
std::u16string GetComString(std::u16string_view s);

// Field number `place` (from 1) of `str` followed by `sep`, split by `sep`
// (code units compared exactly, leftmost non-overlapping occurrences).
// Empty for place < 1, a missing field, or an empty `sep`. Runs in time
// linear in str.size() + sep.size() whatever `place` is; throws nothing but
// std::bad_alloc.
std::u16string GetString(std::u16string_view str, int place, std::u16string_view sep);

// `s` without leading and trailing U+0020 (only that character).
std::u16string TrimSpaces(std::u16string_view s);

// The locale's characters of a number.
struct NumberSymbols {
    char16_t decimal = u'.';
    char16_t thousands = u',';  // 0: none
    std::u16string currency = u"$";
};

// The platform's numeric conversions, as AddStrNum needs them. The COM side
// implements it with VarR8FromStr / VarBstrFromR8 under the user's locale.
//
// The number rule, as this library models the platform's: a text is a number
// when it reads, left to right,
//   blanks, leads, a number, trails, blanks
// - blanks: U+0020 and U+0009 to U+000D, any number of them, also between
//   leads and between trails;
// - leads: at most one sign ('+' or '-'), at most one currency symbol and at
//   most one '(', in any order;
// - a number: "&H" and hexadecimal digits or "&O" and octal digits (either
//   letter case; not with a currency symbol), or decimal digits, at least
//   one, with at most one decimal point, thousands separators anywhere after
//   the first digit of the integer part, and an optional exponent: 'e' or
//   'E', an optional sign and at least one digit (not with a currency
//   symbol);
// - trails: a sign when no sign led, a currency symbol when none led, and
//   ')' exactly when '(' led;
// - the value: a decimal one finite as a double, a hexadecimal or octal one
//   below 2^64.
class NumericText {
public:
    virtual ~NumericText() = default;
    // True when the platform accepts `text` as a number (OLE Automation
    // string-to-double rules under the user's locale); `value` receives it.
    virtual bool TryParse(std::u16string_view text, double& value) const = 0;
    // The platform's text form of a double.
    virtual std::u16string Format(double value) const = 0;
    // The locale's decimal point, thousands separator and currency symbol.
    virtual NumberSymbols Symbols() const { return {}; }
};

// A blank of the number rule.
bool IsNumberBlank(char16_t c);

// Length of the longest tail of `str` whose every tail, from the last
// character on, is a number by the rule above: what a loop testing the last
// 1, 2, 3, ... characters until one is not a number finds. One pass over the
// tail. Empty when the symbols could be read two ways (a blank, digit or sign
// among them, or decimal point and thousands separator alike), which the
// single pass does not model: no failure, the caller tests tail by tail.
std::optional<std::size_t> NumericTailLength(std::u16string_view str, const NumberSymbols& symbols);

// Longest text AddStrNum accepts: its lengths are 16-bit.
constexpr std::size_t kAddStrNumMaxLength = 32767;

// Counts up the number at the end of `str`: ABC -> ABC1,
// BILL009 -> BILL10, A-5 -> A-4. A plain integer tail (an optional sign and
// decimal digits) that has, or whose successor has, more than 15 significant
// digits is counted up exactly in decimal (INV999999999999999 ->
// INV1000000000000000), where the double would lose digits and write an
// exponent; every other tail is read and written by the platform. The numeric tail is the one NumericTailLength
// finds; the platform reads its value and confirms it: it must accept the
// tail and refuse the tail one character longer. Where it disagrees with the
// rule, or the rule does not model the locale's symbols, the tails are tested
// one by one by the platform instead (time quadratic in the tail). Overflow
// when `str` is longer than 32767 characters; no numeric test is made then.
// When `numericTests` is given it receives the number of TryParse calls made
// (at most 2 when the platform agrees). Exceptions thrown by `numbers` pass
// through.
Result<std::u16string> AddStrNum(std::u16string_view str, const NumericText& numbers, long* numericTests = nullptr);

}  // namespace vemo
