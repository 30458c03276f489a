// Blank tests, trimming and the 500-character combined string.
#include "util/text.h"

#include <algorithm>

namespace vemo {

namespace {
constexpr char16_t kBlank = u' ';
}

bool IsBlankText(std::u16string_view s) {
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c == kBlank; });
}

std::u16string MakeComString(std::u16string_view first, std::u16string_view last) {
    std::u16string out;
    out.reserve(kComStringWidth + last.size());
    out.append(first.substr(0, kComStringWidth));
    out.append(kComStringWidth - out.size(), kBlank);
    out.append(last);
    return out;
}

std::u16string GetComString(std::u16string_view s) {
    if (s.size() <= kComStringWidth) return {};
    return std::u16string(s.substr(kComStringWidth));
}

std::u16string TrimSpaces(std::u16string_view s) {
    const auto first = s.find_first_not_of(kBlank);
    if (first == std::u16string_view::npos) return {};
    const auto last = s.find_last_not_of(kBlank);
    return std::u16string(s.substr(first, last - first + 1));
}

}  // namespace vemo
