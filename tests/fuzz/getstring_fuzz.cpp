// GetString against the step-by-step algorithm (copy the rest at every step).
// Input: byte 0 = place - 2 (as a signed byte), byte 1 = separator length
// (0..3), then the separator, then the text.
#include "../support/getstring_stepwise.h"
#include "fuzz_input.h"
#include "util/text.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int place = static_cast<int8_t>(data[0]) + 2;
    std::size_t sepLength = data[1] % 4;
    data += 2;
    size -= 2;
    if (sepLength > size) sepLength = size;
    static const char16_t kAlphabet[] = u"ab|:";
    const std::u16string sep = vemo::fuzz::TextOf(data, sepLength, kAlphabet, 4);
    const std::u16string str = vemo::fuzz::TextOf(data + sepLength, size - sepLength, kAlphabet, 4);
    if (vemo::GetString(str, place, sep) != vemo::reference::StepwiseGetString(str, place, sep)) std::abort();
    return 0;
}
