// GetString in its step-by-step form, copying the rest of the text at every
// step: the reference that tests, fuzzers and the benchmark compare with.
#pragma once
#include <string>
#include <string_view>

namespace vemo::reference {

inline std::u16string StepwiseGetString(std::u16string_view str, int place, std::u16string_view sep) {
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

}  // namespace vemo::reference
