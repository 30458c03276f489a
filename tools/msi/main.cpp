// msi: writes the WiX 3 source of the library's installers from its class
// table. A tool of the build machine: the build writes the registration
// fragments with it, scripts/msi the product around them and the package
// code that it puts into the summary information.
//
// Usage: msi registration x86|x64 machine|user OUT.wxs
//        msi product x86|x64 machine|user FILE_VERSION PAYLOAD_DIR OUT.wxs
//        msi package-code x86|x64 machine|user FILE_VERSION   (printed)
#include "installer_source.h"
#include "product_version.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: msi registration x86|x64 machine|user OUT.wxs\n"
                 "       msi product x86|x64 machine|user FILE_VERSION PAYLOAD_DIR OUT.wxs\n"
                 "       msi package-code x86|x64 machine|user FILE_VERSION\n");
    return 2;
}

int Write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "msi: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vemo::msi;
    if (argc < 4) return Usage();
    const std::string mode = argv[1];
    Target target;
    if (!ParseTarget(argv[2], argv[3], target)) return Usage();
    if (mode == "registration" && argc == 5) return Write(argv[4], RegistrationFragment(target));
    if (mode == "product" && argc == 7) {
        std::string error;
        const std::string source = ProductSource(target, argv[4], argv[5], error);
        if (source.empty()) {
            std::fprintf(stderr, "msi: %s\n", error.c_str());
            return 1;
        }
        return Write(argv[6], source);
    }
    if (mode == "package-code" && argc == 5) {
        const ProductVersion version = FromFileVersion(argv[4]);
        if (version.text.empty()) {
            std::fprintf(stderr, "msi: %s\n", version.error.c_str());
            return 1;
        }
        std::printf("%s\n", PackageCode(target, argv[4]).c_str());
        return 0;
    }
    return Usage();
}
