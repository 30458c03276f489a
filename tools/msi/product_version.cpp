#include "product_version.h"

#include <cctype>
#include <vector>

namespace vemo::msi {

ProductVersion FromFileVersion(const std::string& fileVersion) {
    std::vector<unsigned long> fields;
    std::string digits;
    for (std::size_t i = 0; i <= fileVersion.size(); ++i) {
        if (i == fileVersion.size() || fileVersion[i] == '.') {
            if (digits.empty() || digits.size() > 5) return {{}, "not four numbers A.B.C.D: " + fileVersion};
            fields.push_back(std::stoul(digits));
            digits.clear();
        } else if (std::isdigit(static_cast<unsigned char>(fileVersion[i]))) {
            digits += fileVersion[i];
        } else {
            return {{}, "not four numbers A.B.C.D: " + fileVersion};
        }
    }
    if (fields.size() != 4) return {{}, "not four numbers A.B.C.D: " + fileVersion};
    if (fields[0] > 255 || fields[1] > 255) return {{}, "major and minor must be at most 255: " + fileVersion};
    if (fields[2] != 0) return {{}, "the third field must be 0 (the build counts in the fourth): " + fileVersion};
    if (fields[3] > 65535) return {{}, "the fourth field must be at most 65535: " + fileVersion};
    return {std::to_string(fields[0]) + "." + std::to_string(fields[1]) + "." + std::to_string(fields[3]), {}};
}

}  // namespace vemo::msi
