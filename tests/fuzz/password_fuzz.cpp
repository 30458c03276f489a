// MixPassword against the mixing steps done one by one, and the
// closed-form relations: all bytes shift by the same XOR with the user number.
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

bool StepByStep(std::string_view user, std::string_view pwd, int16_t uid, std::array<uint8_t, 64>& result) {
    int evenByte = 0, oddByte = 0, w = 1, v = uid;
    for (int i = 0; i <= 15; ++i) {
        const int b = v & 1;
        if (i % 2 == 0) {
            evenByte += b * w;
        } else {
            oddByte += b * w;
            w *= 2;
        }
        v /= 2;
    }
    if (user.size() > 32 || pwd.size() > 64) return false;
    int u[33] = {}, p[65] = {}, complement[33] = {}, mixed[65] = {};
    for (std::size_t j = 1; j <= user.size(); ++j) u[j] = static_cast<unsigned char>(user[j - 1]);
    for (std::size_t j = 1; j <= pwd.size(); ++j) p[j] = static_cast<unsigned char>(pwd[j - 1]);
    for (int m = 1; m <= 32; ++m) complement[m] = 255 - u[33 - m];
    for (int s = 1; s <= 32; ++s) {
        mixed[2 * s - 1] = u[s];
        mixed[2 * s] = complement[s];
    }
    for (int f = 1; f <= 64; ++f) result[f - 1] = static_cast<uint8_t>(mixed[f] ^ p[f] ^ oddByte ^ evenByte);
    return true;
}

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

    std::array<uint8_t, 64> expected{};
    const auto mixed = vemo::MixPassword(user, pwd, uid);
    Check(mixed.ok() == StepByStep(user, pwd, uid, expected));
    Check(mixed.ok() == (user.size() <= 32 && pwd.size() <= 64));
    if (!mixed.ok()) {
        Check(mixed.error() == vemo::CoreError::Subscript);
        return 0;
    }
    Check(*mixed == expected);
    const auto withZero = vemo::MixPassword(user, pwd, 0);
    Check(withZero.ok());
    const uint8_t k = vemo::FoldUserNumber(uid);
    for (std::size_t f = 0; f < 64; ++f) Check(((*mixed)[f] ^ (*withZero)[f]) == k);
    return 0;
}
