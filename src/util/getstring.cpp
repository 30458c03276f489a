// GetString: field number `place` of str + sep, split by sep.
//
// The step-by-step form copies the rest of the text after every field, which is
// quadratic for a field near the end of a long text. Here the working text
// str + sep is scanned once, left to right, without being built: a
// one-character separator is found with a plain search, a longer one with a
// Knuth-Morris-Pratt automaton that restarts after every occurrence, which
// finds exactly the leftmost non-overlapping occurrences that the step-by-step
// form's repeated "first occurrence in the rest" finds.
#include "util/text.h"

#include <vector>

namespace vemo {

namespace {

std::u16string SingleCharField(std::u16string_view str, int place, char16_t sep) {
    std::size_t start = 0;
    for (int k = 1;; ++k) {
        const std::size_t pos = str.find(sep, start);
        if (pos == std::u16string_view::npos) {
            // The next occurrence is the appended separator; after it the
            // working text is empty and holds no further field.
            return k == place ? std::u16string(str.substr(start)) : std::u16string();
        }
        if (k == place) return std::u16string(str.substr(start, pos - start));
        start = pos + 1;
    }
}

// failure[q] = length of the longest proper border of sep[0..q].
std::vector<std::size_t> FailureTable(std::u16string_view sep) {
    std::vector<std::size_t> failure(sep.size(), 0);
    std::size_t q = 0;
    for (std::size_t i = 1; i < sep.size(); ++i) {
        while (q > 0 && sep[i] != sep[q]) q = failure[q - 1];
        if (sep[i] == sep[q]) ++q;
        failure[i] = q;
    }
    return failure;
}

std::u16string MultiCharField(std::u16string_view str, int place, std::u16string_view sep) {
    const std::vector<std::size_t> failure = FailureTable(sep);
    const std::size_t m = sep.size();
    const std::size_t total = str.size() + m;  // length of the working text str + sep
    std::size_t q = 0;                          // characters of sep matched so far
    std::size_t fieldStart = 0;
    int k = 1;
    for (std::size_t i = 0; i < total; ++i) {
        if (q == 0 && i < str.size()) {
            // Nothing matched yet: skip ahead to the next first character.
            const std::size_t next = str.find(sep[0], i);
            i = next == std::u16string_view::npos ? str.size() : next;
        }
        const char16_t c = i < str.size() ? str[i] : sep[i - str.size()];
        while (q > 0 && c != sep[q]) q = failure[q - 1];
        if (c == sep[q]) ++q;
        if (q < m) continue;
        // An occurrence ends at i; it starts at or before str.size(), so the
        // field before it lies inside str.
        const std::size_t occurrence = i + 1 - m;
        if (k == place) return std::u16string(str.substr(fieldStart, occurrence - fieldStart));
        ++k;
        q = 0;
        fieldStart = i + 1;
    }
    return {};
}

}  // namespace

std::u16string GetString(std::u16string_view str, int place, std::u16string_view sep) {
    if (place < 1 || sep.empty()) return {};
    if (sep.size() == 1) return SingleCharField(str, place, sep[0]);
    return MultiCharField(str, place, sep);
}

}  // namespace vemo
