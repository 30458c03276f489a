// The 64-byte stored form of a user's password, on bytes.
//
// Portable core: the COM side converts the user name and the password to the
// system's ANSI code page and hands the bytes in.
#pragma once
#include "core/result.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vemo {

constexpr std::size_t kPasswordUserBytes = 32;
constexpr std::size_t kPasswordBytes = 64;

// The mixing byte of a user number: the even byte XOR the odd byte of the
// folding of step 2 (truncating halving of the signed value, so
// -1 gives even byte 1 and odd byte 0, hence 1).
uint8_t FoldUserNumber(int16_t uid);

// The stored form (its byte f, counted from 1, is [f - 1]); Subscript when
// the user name takes more than 32 bytes or the password more than 64.
Result<std::array<uint8_t, kPasswordBytes>> MixPassword(std::string_view userAnsi, std::string_view pwdAnsi,
                                                        int16_t uid);

}  // namespace vemo
