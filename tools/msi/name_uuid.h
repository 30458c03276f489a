// Name-based UUIDs (RFC 4122 version 5: SHA-1 of a namespace and a name), so
// that the installer's product, package and component codes follow from the
// version and architecture instead of being drawn at random.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vemo::msi {

std::array<std::uint8_t, 20> Sha1(const std::string& data);

// `space` and the result in registry form: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}",
// upper case. Returns an empty string when `space` is not a GUID.
std::string NameUuid(const std::string& space, const std::string& name);

}  // namespace vemo::msi
