// GetString against the step-by-step algorithm (copy the rest at every step).
// Input: byte 0 = place - 2 (as a signed byte), byte 1 = separator length
// (0..3), then the separator, then the text.
#include "fuzz_input.h"
#include "util/text.h"

#include <cstdlib>

namespace {

std::u16string Original(std::u16string_view str, int place, std::u16string_view sep) {
    if (sep.empty()) return {};
    std::u16string work(str);
    work.append(sep);
    std::u16string field;
    for (int k = 1; k <= place; ++k) {
        const auto pos = work.find(sep);
        if (pos == std::u16string::npos) return {};
        field = work.substr(0, pos);
        work = work.substr(pos + sep.size());
    }
    return field;
}

}  // namespace

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
    if (vemo::GetString(str, place, sep) != Original(str, place, sep)) std::abort();
    return 0;
}
