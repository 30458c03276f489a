// The installer writer's own rules (tools/msi): the name-based codes and the
// version mapping that decide whether a package upgrades another, and the
// payload it takes. What its packages write is judged under msiexec
// (tests/com/deploy/installer_test.sh).
#include "msi/installer_source.h"
#include "msi/name_uuid.h"
#include "msi/product_version.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using namespace vemo::msi;

std::string Hex(const std::array<std::uint8_t, 20>& d) {
    std::string s;
    char b[3];
    for (std::uint8_t x : d) std::snprintf(b, sizeof b, "%02x", x), s += b;
    return s;
}

TEST(MsiNameUuid, Sha1KnownDigests) {
    EXPECT_EQ(Hex(Sha1("")), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(Hex(Sha1("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
    // Padding spills into a second block; a whole block of input.
    EXPECT_EQ(Hex(Sha1("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    EXPECT_EQ(Hex(Sha1(std::string(64, 'a'))), "0098ba824b5c16427bd7a1122a5a442a25ec644d");
}

TEST(MsiNameUuid, Version5OfANamespace) {
    // RFC 4122's DNS namespace and a name, as other implementations give it.
    EXPECT_EQ(NameUuid("{6BA7B810-9DAD-11D1-80B4-00C04FD430C8}", "www.example.com"),
              "{2ED6657D-E927-568B-95E1-2665A8AEA6A2}");
    for (const char* bad : {"", "6BA7B810-9DAD-11D1-80B4-00C04FD430C8", "{6BA7B810-9DAD-11D1-80B4-00C04FD430CX}",
                            "{6BA7B8109-DAD-11D1-80B4-00C04FD430C8}"}) {
        EXPECT_EQ(NameUuid(bad, "x"), "") << bad;
    }
}

TEST(MsiProductVersion, FourthFieldBecomesTheBuild) {
    const struct {
        const char* file;
        const char* product;  // empty: refused
    } cases[] = {
        {"9.0.0.1203", "9.0.1203"},
        {"9.0.0.1204", "9.0.1204"},
        {"255.255.0.65535", "255.255.65535"},
        {"0.0.0.0", "0.0.0"},
        // Two file versions would map to one product version, or the
        // installer could not compare it.
        {"9.0.1.1203", ""},
        {"9.0.0.65536", ""},
        {"256.0.0.1", ""},
        {"9.256.0.1", ""},
        {"9.0.0", ""},
        {"9.0.0.1203.1", ""},
        {"9..0.1203", ""},
        {"9.0.0.12a3", ""},
        {"9.0.0.-1", ""},
        {"9.0.0.1203.", ""},
        {"", ""},
        {"9.0.0.0001203", ""},
    };
    for (const auto& c : cases) {
        const ProductVersion v = FromFileVersion(c.file);
        EXPECT_EQ(v.text, c.product) << c.file;
        EXPECT_EQ(v.error.empty(), *c.product != '\0') << c.file << ": " << v.error;
    }
}

// A payload folder of its own, removed afterwards.
class MsiPayload : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/msi_payload.XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    void Put(const std::string& file) { std::ofstream(dir_ + "/" + file) << "x"; }
    std::string Source(const Target& t, const std::string& version, std::string& error) {
        return ProductSource(t, version, dir_, error);
    }
    std::string dir_;
};

TEST_F(MsiPayload, TakesTheFilesThatAreThere) {
    const Target t{Arch::x86, Scope::machine};
    std::string error;
    Put("VemoFunction.dll");
    Put("VemoFunction.manifest");
    EXPECT_EQ(Source(t, "9.0.0.1203", error), "");
    EXPECT_NE(error.find("VemoFunction.tlb"), std::string::npos) << error;
    Put("VemoFunction.tlb");
    std::string source = Source(t, "9.0.0.1203", error);
    EXPECT_NE(source.find("Id=\"VemoFunction.tlb\""), std::string::npos);
    EXPECT_EQ(source.find("VemoFunctionCheck.exe"), std::string::npos);
    Put("VemoFunctionCheck.exe");
    source = Source(t, "9.0.0.1203", error);
    EXPECT_NE(source.find("<File Id=\"VemoFunctionCheck.exe\""), std::string::npos);
    EXPECT_NE(source.find("<ComponentRef Id=\"VemoFunctionCheck.exe\"/>"), std::string::npos);
    EXPECT_EQ(Source(t, "9.0.1.1203", error), "");
    EXPECT_NE(error.find("third field"), std::string::npos) << error;
}

TEST_F(MsiPayload, CodesPerVersionArchitectureAndScope) {
    Put("VemoFunction.dll");
    Put("VemoFunction.manifest");
    Put("VemoFunction.tlb");
    std::string error;
    auto productCode = [&](Arch a, Scope s, const char* version) {
        const std::string source = Source(Target{a, s}, version, error);
        const std::size_t at = source.find("<Product Id=\"");
        return at == std::string::npos ? std::string() : source.substr(at + 13, 38);
    };
    const std::string code = productCode(Arch::x86, Scope::machine, "9.0.0.1203");
    ASSERT_EQ(code.size(), 38u);
    EXPECT_EQ(productCode(Arch::x86, Scope::machine, "9.0.0.1203"), code);
    EXPECT_NE(productCode(Arch::x86, Scope::machine, "9.0.0.1204"), code);
    EXPECT_NE(productCode(Arch::x64, Scope::machine, "9.0.0.1203"), code);
    EXPECT_NE(productCode(Arch::x86, Scope::user, "9.0.0.1203"), code);
    EXPECT_NE(PackageCode({Arch::x86, Scope::machine}, "9.0.0.1203"), code);
    EXPECT_NE(PackageCode({Arch::x86, Scope::machine}, "9.0.0.1203"),
              PackageCode({Arch::x86, Scope::machine}, "9.0.0.1204"));
    // One upgrade code per architecture, whatever the version or scope.
    auto upgradeCode = [&](Arch a, Scope s, const char* version) {
        const std::string source = Source(Target{a, s}, version, error);
        const std::size_t at = source.find("UpgradeCode=\"");
        return at == std::string::npos ? std::string() : source.substr(at + 13, 38);
    };
    EXPECT_EQ(upgradeCode(Arch::x86, Scope::machine, "9.0.0.1203"), upgradeCode(Arch::x86, Scope::user, "9.0.0.1204"));
    EXPECT_NE(upgradeCode(Arch::x86, Scope::machine, "9.0.0.1203"), upgradeCode(Arch::x64, Scope::machine, "9.0.0.1203"));
}

}  // namespace
