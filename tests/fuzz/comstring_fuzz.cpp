// MakeComString / GetComString round trip, and the blank helpers.
// Input: byte 0 and 1 = length of the first text (little endian, up to
// 65535, cut to what is there), then the first text, then the second.
#include "fuzz_input.h"
#include "util/text.h"

#include <cstdlib>

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    std::size_t firstLength = static_cast<std::size_t>(data[0]) | static_cast<std::size_t>(data[1]) << 8;
    data += 2;
    size -= 2;
    if (firstLength > size) firstLength = size;
    static const char16_t kAlphabet[] = u"a \t";
    // Long first texts come from repeating the bytes: exercise the 500 cut.
    std::u16string a = vemo::fuzz::TextOf(data, firstLength, kAlphabet, 3);
    if (!a.empty() && a[0] == u'a') a = a + a + a + a;
    const std::u16string b = vemo::fuzz::TextOf(data + firstLength, size - firstLength, kAlphabet, 3);

    const std::u16string combined = vemo::MakeComString(a, b);
    Check(combined.size() == vemo::kComStringWidth + b.size());
    Check(vemo::GetComString(combined) == b);
    const std::size_t kept = a.size() < vemo::kComStringWidth ? a.size() : vemo::kComStringWidth;
    Check(combined.compare(0, kept, a, 0, kept) == 0);
    Check(vemo::IsBlankText(std::u16string_view(combined).substr(kept, vemo::kComStringWidth - kept)));

    const std::u16string trimmed = vemo::TrimSpaces(b);
    Check(vemo::IsBlankText(b) == trimmed.empty());
    Check(trimmed.empty() || (trimmed.front() != u' ' && trimmed.back() != u' '));
    Check(b.find(trimmed) != std::u16string::npos);
    return 0;
}
