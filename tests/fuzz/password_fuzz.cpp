// MixPassword on any input: it accepts exactly the inputs that fit, the
// password enters each byte by exclusive-or and the user number through its
// folded byte, the same for all 64; the user's bytes stand as they are in the
// odd places and complemented, last first, in the even ones.
// Input: bytes 0-1 = user number, byte 2 = user length (0..40), byte 3 =
// password length (0..70), then the user bytes, then the password bytes
// (both cut to what is there).
#include "util/password.h"

#include <cstdlib>
#include <string>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

uint8_t ByteAt(std::string_view s, std::size_t i) { return i < s.size() ? static_cast<uint8_t>(s[i]) : 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const auto uid = static_cast<int16_t>(static_cast<uint16_t>(data[0] | data[1] << 8));
    std::size_t userLength = data[2] % 41;
    std::size_t pwdLength = data[3] % 71;
    data += 4;
    size -= 4;
    if (userLength > size) userLength = size;
    if (pwdLength > size - userLength) pwdLength = size - userLength;
    const std::string_view user(reinterpret_cast<const char*>(data), userLength);
    const std::string_view pwd(reinterpret_cast<const char*>(data + userLength), pwdLength);

    const auto mixed = vemo::MixPassword(user, pwd, uid);
    Check(mixed.ok() == (user.size() <= 32 && pwd.size() <= 64));
    if (!mixed.ok()) {
        Check(mixed.error() == vemo::CoreError::Subscript);
        return 0;
    }
    const auto plain = vemo::MixPassword(user, "", 0);
    Check(plain.ok());
    const uint8_t k = vemo::FoldUserNumber(uid);
    for (std::size_t f = 0; f < 64; ++f) Check(((*mixed)[f] ^ (*plain)[f]) == (ByteAt(pwd, f) ^ k));
    for (std::size_t s = 0; s < 32; ++s) {
        Check((*plain)[2 * s] == ByteAt(user, s));
        Check((*plain)[2 * (31 - s) + 1] == 255 - ByteAt(user, s));
    }
    return 0;
}
