// Turning fuzzer bytes into UTF-16 text over a small alphabet, so that
// separators and marks occur often, with a few other characters mixed in.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace vemo::fuzz {

inline char16_t CharOf(uint8_t byte, const char16_t* alphabet, std::size_t size) {
    if (byte >= 0xF0) return static_cast<char16_t>(0x4E00 + byte);  // a CJK character
    if (byte >= 0xE0) return static_cast<char16_t>(byte - 0xE0 + u' ');  // blanks, '!', '"', ...
    return alphabet[byte % size];
}

inline std::u16string TextOf(const uint8_t* data, std::size_t size, const char16_t* alphabet,
                             std::size_t alphabetSize) {
    std::u16string text;
    text.reserve(size);
    for (std::size_t i = 0; i < size; ++i) text.push_back(CharOf(data[i], alphabet, alphabetSize));
    return text;
}

}  // namespace vemo::fuzz
