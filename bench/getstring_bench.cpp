// GetString picking field 50,000 (the last) of a 1,000,000-character text.
#include "../tests/support/getstring_stepwise.h"
#include <algorithm>
#include <cstdio>
#include <string>

#include "bench.h"
#include "util/text.h"

namespace vemo::bench {

namespace {

constexpr int kFields = 50000;
constexpr std::size_t kFieldWidth = 19;  // + 1 separator: 20 characters a field

std::u16string MakeText() {
    std::u16string text;
    text.reserve(kFields * (kFieldWidth + 1));
    for (int k = 1; k <= kFields; ++k) {
        std::u16string field(kFieldWidth, u'x');
        for (int v = k, d = static_cast<int>(kFieldWidth) - 1; v > 0; v /= 10, --d)
            field[static_cast<std::size_t>(d)] = static_cast<char16_t>(u'0' + v % 10);
        text += field;
        if (k < kFields) text += u'|';
    }
    text.resize(1000000, u'x');
    return text;
}


}  // namespace

void RunGetStringBench() {
    const std::u16string text = MakeText();
    std::printf("GetString: text of %zu characters, field %d of %d\n", text.size(), kFields, kFields);

    const std::u16string expected = vemo::reference::StepwiseGetString(text, kFields, u"|");
    if (vemo::GetString(text, kFields, u"|") != expected) {
        std::printf("  MISMATCH between GetString and the step-by-step algorithm\n");
        return;
    }

    const double scan = BestSeconds(30, [&] { sink = sink + static_cast<std::size_t>(std::count(text.begin(), text.end(), u'|')); });
    const double fast = BestSeconds(30, [&] { sink = sink + vemo::GetString(text, kFields, u"|").size(); });
    const double multi = BestSeconds(30, [&] { sink = sink + vemo::GetString(text, kFields, u"|x").size(); });
    const double naive = BestSeconds(1, [&] { sink = sink + vemo::reference::StepwiseGetString(text, kFields, u"|").size(); });

    std::printf("  linear scan (count separators):   %10.3f ms\n", scan * 1e3);
    std::printf("  GetString, sep \"|\":               %10.3f ms\n", fast * 1e3);
    std::printf("  GetString, sep \"|x\" (KMP path):   %10.3f ms\n", multi * 1e3);
    std::printf("  step-by-step (copy rest per step): %9.3f ms\n", naive * 1e3);
    std::printf("  ratio GetString / linear scan:     %9.2f (goal <= 3)\n", fast / scan);
    std::printf("  ratio GetString(KMP) / linear scan: %8.2f\n", multi / scan);
    std::printf("  ratio step-by-step / GetString:        %9.0f\n", naive / fast);
}

}  // namespace vemo::bench
