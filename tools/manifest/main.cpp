// manifest: writes the library's side-by-side manifest from its class table
// (src/vemofunction/class_table.h), the table that registration writes from. A tool
// of the build machine, run by the build for the DLL's resource and the
// shipped VemoFunction.manifest.
//
// Usage: manifest x86|amd64 OUT.manifest
#include "vemofunction/class_table.h"
#include "table_text.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

namespace table = vemo::table;
using vemo::tools::Text;

std::string Attr(const char* name, const wchar_t* value) { return std::string(" ") + name + "=\"" + Text(value) + "\""; }

std::string Manifest(const std::string& arch) {
    std::string m = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n";
    m += "  <assemblyIdentity type=\"win32\"" + Attr("name", table::kAssemblyName) +
         Attr("version", table::kAssemblyVersion) + " processorArchitecture=\"" + arch + "\"/>\r\n";
    m += "  <file" + Attr("name", table::kDllName) + ">\r\n";
    for (const table::ClassText& c : table::kClasses) {
        m += "    <comClass" + Attr("clsid", c.clsid) + Attr("progid", c.progId) +
             Attr("threadingModel", table::kThreadingModel) + Attr("tlbid", table::kLibId) +
             Attr("description", c.progId) + "/>\r\n";
    }
    m += "    <typelib" + Attr("tlbid", table::kLibId) + Attr("version", table::kLibVersion) + " helpdir=\"\"/>\r\n";
    m += "  </file>\r\n";
    for (const table::InterfaceText& i : table::kInterfaces) {
        m += "  <comInterfaceExternalProxyStub" + Attr("name", i.name) + Attr("iid", i.iid) +
             Attr("proxyStubClsid32", table::kAutomationMarshaller) + Attr("baseInterface", table::kIDispatch) +
             Attr("tlbid", table::kLibId) + "/>\r\n";
    }
    return m + "</assembly>\r\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::string(argv[1]) != "x86" && std::string(argv[1]) != "amd64")) {
        std::fprintf(stderr, "usage: manifest x86|amd64 OUT.manifest\n");
        return 2;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << Manifest(argv[1]);
    out.close();
    if (!out) {
        std::fprintf(stderr, "manifest: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
