#include "name_uuid.h"

#include <cctype>
#include <cstdio>

namespace vemo::msi {
namespace {

std::uint32_t Rotl(std::uint32_t x, int n) { return x << n | x >> (32 - n); }

// The 16 bytes of a GUID in registry form, in the order RFC 4122 hashes them.
bool GuidBytes(const std::string& text, std::string& bytes) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
    bytes.clear();
    for (std::size_t i = 1; i < 37;) {
        if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (text[i++] != '-') return false;
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(text[i])) || !std::isxdigit(static_cast<unsigned char>(text[i + 1])))
            return false;
        bytes += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
        i += 2;
    }
    return true;
}

}  // namespace

std::array<std::uint8_t, 20> Sha1(const std::string& data) {
    std::uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    std::string m = data;
    const std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
    m += static_cast<char>(0x80);
    while (m.size() % 64 != 56) m += '\0';
    for (int i = 7; i >= 0; --i) m += static_cast<char>(bits >> (8 * i));
    for (std::size_t block = 0; block < m.size(); block += 64) {
        std::uint32_t w[80];
        for (int i = 0; i < 16; ++i) {
            const auto* p = reinterpret_cast<const unsigned char*>(m.data() + block + 4 * i);
            w[i] = std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
        }
        for (int i = 16; i < 80; ++i) w[i] = Rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int i = 0; i < 80; ++i) {
            std::uint32_t f, k;
            if (i < 20) f = (b & c) | (~b & d), k = 0x5A827999;
            else if (i < 40) f = b ^ c ^ d, k = 0x6ED9EBA1;
            else if (i < 60) f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDC;
            else f = b ^ c ^ d, k = 0xCA62C1D6;
            const std::uint32_t t = Rotl(a, 5) + f + e + k + w[i];
            e = d, d = c, c = Rotl(b, 30), b = a, a = t;
        }
        h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
    }
    std::array<std::uint8_t, 20> out{};
    for (int i = 0; i < 20; ++i) out[i] = static_cast<std::uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
    return out;
}

std::string NameUuid(const std::string& space, const std::string& name) {
    std::string bytes;
    if (!GuidBytes(space, bytes)) return {};
    std::array<std::uint8_t, 20> d = Sha1(bytes + name);
    d[6] = static_cast<std::uint8_t>((d[6] & 0x0F) | 0x50);  // version 5
    d[8] = static_cast<std::uint8_t>((d[8] & 0x3F) | 0x80);  // RFC 4122 variant
    char text[39];
    std::snprintf(text, sizeof text, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", d[0],
                  d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], d[10], d[11], d[12], d[13], d[14], d[15]);
    return text;
}

}  // namespace vemo::msi
