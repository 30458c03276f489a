#include "installer_source.h"

#include "installer_identity.h"
#include "name_uuid.h"
#include "product_version.h"
#include "table_text.h"
#include "vemofunction/class_table.h"

#include <fstream>

namespace vemo::msi {
namespace {

namespace table = vemo::table;
using vemo::tools::Text;

const char kDllId[] = "VemoFunction.dll";

std::string ArchName(Arch a) { return a == Arch::x86 ? "x86" : "x64"; }
std::string ScopeName(Scope s) { return s == Scope::machine ? "machine" : "user"; }
std::string Yes(bool b) { return b ? "yes" : "no"; }

// Codes that differ per package kind: the name says what the code is for.
std::string Code(const Target& t, const std::string& what) {
    return NameUuid(kCodeSpace, what + "/" + ArchName(t.arch) + "/" + ScopeName(t.scope));
}

std::string Xml(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Attr(const char* name, const std::string& value) { return std::string(" ") + name + "=\"" + Xml(value) + "\""; }

std::string Component(const Target& t, const std::string& id) {
    return "      <Component" + Attr("Id", id) + Attr("Guid", Code(t, "Component/" + id)) +
           Attr("Win64", Yes(t.arch == Arch::x64)) + ">\n";
}

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

}  // namespace

bool ParseTarget(const std::string& arch, const std::string& scope, Target& target) {
    if (arch != "x86" && arch != "x64") return false;
    if (scope != "machine" && scope != "user") return false;
    target = {arch == "x86" ? Arch::x86 : Arch::x64, scope == "machine" ? Scope::machine : Scope::user};
    return true;
}

std::vector<Row> RegistrationRows(Arch arch, const std::string& dll, const std::string& folder) {
    const std::string lib = Text(table::kLibId), version = Text(table::kLibVersion);
    const std::string marshaller = Text(table::kAutomationMarshaller);
    std::vector<Row> rows;
    auto interfaceKeys = [&](const std::string& root, const table::InterfaceText& i) {
        const std::string key = root + "Interface\\" + Text(i.iid);
        rows.push_back({key, "", Text(i.name)});
        rows.push_back({key + "\\ProxyStubClsid", "", marshaller});
        rows.push_back({key + "\\ProxyStubClsid32", "", marshaller});
        rows.push_back({key + "\\TypeLib", "", lib});
        rows.push_back({key + "\\TypeLib", "Version", version});
    };
    // RegisterTypeLib: the library, and the dual interfaces it declares.
    const std::string libKey = "TypeLib\\" + lib + "\\" + version;
    rows.push_back({libKey, "", Text(table::kLibHelpString)});
    rows.push_back({libKey + "\\0\\" + (arch == Arch::x86 ? "win32" : "win64"), "", dll});
    rows.push_back({libKey + "\\FLAGS", "", Text(table::kLibFlags)});
    rows.push_back({libKey + "\\HELPDIR", "", folder});
    for (const table::InterfaceText& i : table::kInterfaces) {
        if (i.alias) continue;
        interfaceKeys("", i);
        // A 64-bit RegisterTypeLib registers them for 32-bit processes too.
        if (arch == Arch::x64) interfaceKeys("Wow6432Node\\", i);
    }
    // The class table.
    for (const table::ClassText& c : table::kClasses) {
        const std::string progId = Text(c.progId), key = "CLSID\\" + Text(c.clsid);
        rows.push_back({key, "", progId});
        rows.push_back({key + "\\InprocServer32", "", dll});
        rows.push_back({key + "\\InprocServer32", "ThreadingModel", Text(table::kThreadingModel)});
        rows.push_back({key + "\\ProgID", "", progId});
        rows.push_back({key + "\\TypeLib", "", lib});
        rows.push_back({key + "\\VERSION", "", version});
        rows.push_back({progId, "", progId});
        rows.push_back({progId + "\\CLSID", "", Text(c.clsid)});
    }
    // The aliases of the older IniFile IIDs, which the library does not register.
    for (const table::InterfaceText& i : table::kInterfaces) {
        if (i.alias) interfaceKeys("", i);
    }
    return rows;
}

std::string RegistrationFragment(const Target& t) {
    const std::string root = t.scope == Scope::machine ? "HKLM" : "HKCU";
    // Formatted text: the DLL's installed path, and its folder (which the
    // installer spells with a closing backslash).
    std::vector<Row> rows = RegistrationRows(t.arch, std::string("[#") + kDllId + "]", "[INSTALLDIR]");
    // Per user, the component lives in the user's programs folder, so that
    // the folder goes with it when it is left empty (wixl's RemoveFolder
    // takes no folder of its own: it removes its component's).
    const bool user = t.scope == Scope::user;
    std::string s = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                    "<!-- Written by tools/msi from src/vemofunction/class_table.h: what registering the DLL writes. -->\n"
                    "<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n"
                    "  <Fragment>\n"
                    "    <ComponentGroup Id=\"Registration\"" +
                    Attr("Directory", user ? "UserProgramsFolder" : "INSTALLDIR") + ">\n";
    s += Component(t, "Registration");
    if (user) s += "        <RemoveFolder Id=\"UserProgramsFolder\" On=\"uninstall\"/>\n";
    bool first = true;
    for (const Row& r : rows) {
        s += "        <RegistryValue" + Attr("Root", root) + Attr("Key", "Software\\Classes\\" + r.key) +
             (r.name.empty() ? "" : Attr("Name", r.name)) + Attr("Value", r.value) + " Type=\"string\"" +
             (first ? " KeyPath=\"yes\"" : "") + "/>\n";
        first = false;
    }
    s += "      </Component>\n"
         "    </ComponentGroup>\n"
         "  </Fragment>\n"
         "</Wix>\n";
    return s;
}

std::string PackageCode(const Target& t, const std::string& fileVersion) {
    return Code(t, "Package/" + fileVersion);
}

std::string ProductSource(const Target& t, const std::string& fileVersion, const std::string& payload,
                          std::string& error) {
    const ProductVersion version = FromFileVersion(fileVersion);
    if (version.text.empty()) {
        error = version.error;
        return {};
    }
    std::vector<std::string> files = {kDllId, "VemoFunction.manifest", "VemoFunction.tlb"};
    for (const std::string& f : files) {
        if (!Exists(payload + "/" + f)) {
            error = "missing from the payload: " + payload + "/" + f;
            return {};
        }
    }
    if (Exists(payload + "/VemoFunctionCheck.exe")) files.push_back("VemoFunctionCheck.exe");

    const bool machine = t.scope == Scope::machine, x64 = t.arch == Arch::x64;
    const std::string upgradeCode = x64 ? kUpgradeCodeX64 : kUpgradeCodeX86;
    std::string s = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                    "<!-- Written by tools/msi. -->\n"
                    "<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n";
    s += "  <Product" + Attr("Id", Code(t, "Product/" + fileVersion)) + Attr("Name", kProductName) +
         " Language=\"1033\"" + Attr("Version", version.text) + Attr("Manufacturer", kManufacturer) +
         Attr("UpgradeCode", upgradeCode) + ">\n";
    s += "    <Package InstallerVersion=\"200\" Compressed=\"yes\"" +
         Attr("InstallScope", machine ? "perMachine" : "perUser") +
         Attr("Description", std::string(kProductName) + " " + fileVersion + " (" + ArchName(t.arch) + ", per " +
                                 (machine ? "machine" : "user") + ")") +
         "/>\n";
    s += "    <MajorUpgrade" + Attr("DowngradeErrorMessage", kDowngradeMessage) + "/>\n";
    s += "    <Media Id=\"1\" Cabinet=\"VemoFunction.cab\" EmbedCab=\"yes\"/>\n";
    s += "    <Directory Id=\"TARGETDIR\" Name=\"SourceDir\">\n";
    if (machine) {
        s += std::string("      <Directory Id=\"") + (x64 ? "ProgramFiles64Folder" : "ProgramFilesFolder") + "\">\n" +
             "        <Directory Id=\"INSTALLDIR\" Name=\"VemoFunction\"/>\n"
             "      </Directory>\n";
    } else {
        // The user's programs folder (%LOCALAPPDATA%\Programs); the two
        // architectures in folders of their own, as per machine.
        s += std::string("      <Directory Id=\"LocalAppDataFolder\">\n"
                         "        <Directory Id=\"UserProgramsFolder\" Name=\"Programs\">\n"
                         "          <Directory Id=\"INSTALLDIR\"") +
             Attr("Name", x64 ? "VemoFunction x64" : "VemoFunction") + "/>\n" +
             "        </Directory>\n"
             "      </Directory>\n";
    }
    s += "    </Directory>\n";
    s += "    <DirectoryRef Id=\"INSTALLDIR\">\n";
    for (const std::string& f : files) {
        s += Component(t, f);
        s += "        <File" + Attr("Id", f) + Attr("Name", f) + Attr("Source", f) + " KeyPath=\"yes\"/>\n";
        s += "      </Component>\n";
    }
    s += "    </DirectoryRef>\n";
    s += "    <Feature Id=\"VemoFunction\" Title=\"VemoFunction\" Level=\"1\">\n";
    for (const std::string& f : files) s += "      <ComponentRef" + Attr("Id", f) + "/>\n";
    s += "      <ComponentGroupRef Id=\"Registration\"/>\n"
         "    </Feature>\n"
         "  </Product>\n"
         "</Wix>\n";
    return s;
}

}  // namespace vemo::msi
