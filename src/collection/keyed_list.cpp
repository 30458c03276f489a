// The portable default key folding of the keyed collection (keyed_list.h).
#include "collection/keyed_list.h"

namespace vemo {

char16_t SimpleKeyFolding::FoldUnit(char16_t c) noexcept {
    const auto plus = [c](unsigned d) { return static_cast<char16_t>(c + d); };
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? plus(0x20) : c;
    if (c < 0x100) {
        // Latin-1 capitals, without U+00D7 (multiplication sign) and U+00DF
        // (sharp s, which has no one-unit capital here).
        return (c >= 0xC0 && c <= 0xDE && c != 0xD7) ? plus(0x20) : c;
    }
    if (c <= 0x17F) {  // Latin Extended-A: mostly capital/small pairs
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;  // no simple pair
        if (c == 0x178) return 0xFF;                                                          // Y diaeresis
        const bool oddCapitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool capital = oddCapitals ? (c & 1u) != 0 : (c & 1u) == 0;
        return capital ? plus(1) : c;
    }
    if (c >= 0x386 && c <= 0x3AB) {  // basic Greek capitals
        if (c == 0x386) return 0x3AC;
        if (c >= 0x388 && c <= 0x38A) return plus(0x25);
        if (c == 0x38C) return 0x3CC;
        if (c == 0x38E || c == 0x38F) return plus(0x3F);
        if (c >= 0x391 && c != 0x3A2) return plus(0x20);
        return c;
    }
    if (c >= 0x400 && c <= 0x40F) return plus(0x50);  // Cyrillic capitals with marks
    if (c >= 0x410 && c <= 0x42F) return plus(0x20);  // basic Cyrillic capitals
    if (c >= 0xFF21 && c <= 0xFF3A) return plus(0x20);  // fullwidth Latin capitals
    return c;
}

std::u16string SimpleKeyFolding::Fold(std::u16string_view key) const {
    std::u16string folded(key);
    for (char16_t& c : folded) c = FoldUnit(c);
    return folded;
}

std::shared_ptr<const KeyFolding> DefaultKeyFolding() {
    static const std::shared_ptr<const KeyFolding> folding = std::make_shared<SimpleKeyFolding>();
    return folding;
}

}  // namespace vemo
