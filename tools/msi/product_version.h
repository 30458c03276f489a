// The installer's ProductVersion from the DLL's four-part file version.
// Windows Installer compares only the first three fields of a
// ProductVersion (major.minor.build, at most 255.255.65535), and this
// product counts its builds in the fourth field of the file version
// (9.0.0.1203), so A.B.0.D becomes A.B.D: 9.0.0.1204 (9.0.1204) upgrades
// 9.0.0.1203 (9.0.1203). A third field other than 0 has no place in that
// form and is refused, as is anything beyond the installer's ranges:
// two file versions must never map to one ProductVersion, or a newer
// package would silently not replace an older one.
#pragma once

#include <string>

namespace vemo::msi {

struct ProductVersion {
    std::string text;   // "A.B.D"; empty when refused
    std::string error;  // why it was refused
};

ProductVersion FromFileVersion(const std::string& fileVersion);

}  // namespace vemo::msi
