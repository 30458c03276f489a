// AddStrNum against the step-by-step loop over the number rule.
// Input: byte 0 picks the locale's symbols, then the text.
#include "../support/addstrnum_stepwise.h"
#include "fuzz_input.h"
#include "util/text.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const vemo::NumberSymbols kSymbols[] = {
        {}, {u',', u'.', u"\u20AC"}, {u'.', 0, u"\u00A5"}, {u'.', u',', u"NT$"}, {u'.', u' ', u"$"}};
    const vemo::reference::RuleNumbers numbers(kSymbols[data[0] % 5]);
    static const char16_t kAlphabet[] = u"0123456789000 +-.,$e&H()NT\u20AC\u00A5";
    const std::u16string str = vemo::fuzz::TextOf(data + 1, size - 1, kAlphabet, 28);
    long tests = 0;
    const vemo::Result<std::u16string> out = vemo::AddStrNum(str, numbers, &tests);
    if (!out.ok() || *out != vemo::reference::StepwiseAddStrNum(str, numbers)) std::abort();
    // The single pass agrees with the rule: the platform is asked at most twice.
    if (vemo::NumericTailLength(str, numbers.Symbols()) && tests > 2) std::abort();
    return 0;
}
