// Password mixing, in closed form:
//   result(2s-1) = U(s) ^ P(2s-1) ^ K,  result(2s) = (255 - U(33-s)) ^ P(2s) ^ K
// with U, P the zero-padded user and password bytes, K the folded user number.
#include "util/password.h"

namespace vemo {

namespace {

struct FoldedBytes {
    int even = 0;
    int odd = 0;
};

FoldedBytes Fold(int16_t uid) {
    FoldedBytes folded;
    int weight = 1;
    int v = uid;
    for (int i = 0; i < 16; ++i) {
        const int bit = v & 1;  // lowest bit of the two's-complement form
        if (i % 2 == 0) {
            folded.even += bit * weight;
        } else {
            folded.odd += bit * weight;
            weight *= 2;
        }
        v /= 2;  // truncates toward zero
    }
    return folded;
}

uint8_t ByteOrZero(std::string_view bytes, std::size_t index) {
    return index < bytes.size() ? static_cast<uint8_t>(bytes[index]) : uint8_t{0};
}

}  // namespace

uint8_t FoldUserNumber(int16_t uid) {
    const FoldedBytes folded = Fold(uid);
    return static_cast<uint8_t>(folded.even ^ folded.odd);
}

Result<std::array<uint8_t, kPasswordBytes>> MixPassword(std::string_view userAnsi, std::string_view pwdAnsi,
                                                        int16_t uid) {
    if (userAnsi.size() > kPasswordUserBytes || pwdAnsi.size() > kPasswordBytes) return CoreError::Subscript;
    std::array<uint8_t, kPasswordBytes> out{};
    const uint8_t k = FoldUserNumber(uid);
    for (std::size_t s = 0; s < kPasswordUserBytes; ++s) {
        const uint8_t user = ByteOrZero(userAnsi, s);
        const uint8_t complement = static_cast<uint8_t>(255 - ByteOrZero(userAnsi, kPasswordUserBytes - 1 - s));
        out[2 * s] = static_cast<uint8_t>(user ^ ByteOrZero(pwdAnsi, 2 * s) ^ k);
        out[2 * s + 1] = static_cast<uint8_t>(complement ^ ByteOrZero(pwdAnsi, 2 * s + 1) ^ k);
    }
    return out;
}

}  // namespace vemo
