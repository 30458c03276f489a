// dllcheck: checks a built COM DLL without running it, so that the 32-bit
// product is checked also where no 32-bit code runs.
//
// Usage: dllcheck DLL --machine i386|amd64 --version A.B.C.D
//                 --exports NAME,... --system-dlls NAME.dll,...
//                 [--typelib-equals FILE] [--manifest-equals FILE] [--dump]
//                 [--typelib-imports {GUID}:MAJOR.MINOR:LCID,...]
//                 (the libraries type library resource 1 imports, exactly)
//        dllcheck PROGRAM.exe --program --machine i386|amd64 --version A.B.C.D
//                 --system-dlls NAME.dll,...
//                 (a program: its kind, imports and version resource only)
//        dllcheck --typelib-layout FILE.tlb 4|8 [--dump]
//                 (a bare type library's system kind and vtable layout)
//        dllcheck --version-of DLL          (prints its file version A.B.C.D)
//        dllcheck --typelib-of DLL OUT.tlb  (writes its type library resource 1)
// Prints one PASS or FAIL line per check and "N passed, M failed"; exits 1
// when a check failed, 2 on bad usage or a file it cannot read.
#include "pe_file.h"
#include "typelib_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace dllcheck;

std::vector<std::string> SplitList(const std::string& s) {
    std::vector<std::string> out;
    std::stringstream in(s);
    for (std::string item; std::getline(in, item, ',');) {
        if (!item.empty()) out.push_back(item);
    }
    return out;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string Join(const std::vector<std::string>& items) {
    std::string s;
    for (const std::string& i : items) s += (s.empty() ? "" : ", ") + i;
    return s;
}

class Report {
public:
    void Check(bool ok, const std::string& what, const std::string& detail = "") {
        std::printf("%s: %s%s%s\n", ok ? "PASS" : "FAIL", what.c_str(), detail.empty() ? "" : ": ", detail.c_str());
        (ok ? passed_ : failed_)++;
    }
    int Finish() const {
        std::printf("%d passed, %d failed\n", passed_, failed_);
        return failed_ ? 1 : 0;
    }

private:
    int passed_ = 0, failed_ = 0;
};

std::string ImportKey(const ImportedLibrary& imp) {
    return imp.guid + ":" + std::to_string(imp.major) + "." + std::to_string(imp.minor) + ":" + std::to_string(imp.lcid);
}

void Dump(const TypeLibFile& lib) {
    std::printf("type library: system kind %d, %zu types\n", lib.syskind, lib.types.size());
    for (const ImportedLibrary& imp : lib.imports) {
        std::printf("  imports %s (%s)\n", ImportKey(imp).c_str(), imp.file.c_str());
    }
    for (const StoredType& t : lib.types) {
        std::printf("  %s: kind %d, flags 0x%x, vtable size %d\n", t.name.c_str(), t.typekind, t.flags, t.vtable_size);
        for (const StoredFunction& f : t.functions) {
            std::printf("    %-22s id 0x%08x invoke %d offset %3d params %d\n", f.name.c_str(),
                        static_cast<unsigned>(f.memid), f.invkind, f.vtable_offset, f.params);
        }
    }
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void CheckLayout(Report& report, const TypeLibFile& lib, int ptr_size) {
    std::vector<std::string> faults = LayoutFaults(lib, ptr_size);
    std::size_t slots = 0;
    for (const StoredType& t : lib.types) slots += t.functions.size();
    report.Check(faults.empty(), "type library laid out for " + std::to_string(ptr_size) + "-byte pointers",
                 faults.empty() ? std::to_string(slots) + " functions in " + std::to_string(lib.types.size()) + " types"
                                : Join(faults));
}

int Run(int argc, char** argv) {
    if (argc < 2) throw std::invalid_argument("no DLL named");
    if (std::string(argv[1]) == "--typelib-layout") {
        if (argc < 4 || (std::string(argv[3]) != "4" && std::string(argv[3]) != "8")) {
            throw std::invalid_argument("usage: --typelib-layout FILE.tlb 4|8 [--dump]");
        }
        Report report;
        TypeLibFile lib = ReadTypeLib(ReadFile(argv[2]));
        if (argc > 4 && std::string(argv[4]) == "--dump") Dump(lib);
        CheckLayout(report, lib, std::stoi(argv[3]));
        return report.Finish();
    }
    if (std::string(argv[1]) == "--version-of" && argc == 3) {
        const PeFile pe = PeFile::Load(argv[2]);
        const Resource* version = pe.FindResource(ResourceId{16, {}}, ResourceId{1, {}});
        std::optional<std::string> found = version ? FileVersion(version->data) : std::nullopt;
        if (!found) throw std::runtime_error(std::string("no readable version resource in ") + argv[2]);
        std::printf("%s\n", found->c_str());
        return 0;
    }
    if (std::string(argv[1]) == "--typelib-of" && argc == 4) {
        const PeFile pe = PeFile::Load(argv[2]);
        const Resource* tlb = pe.FindResource(ResourceId{std::nullopt, u"TYPELIB"}, ResourceId{1, {}});
        if (!tlb) throw std::runtime_error(std::string("no type library resource 1 in ") + argv[2]);
        std::ofstream out(argv[3], std::ios::binary);
        out.write(reinterpret_cast<const char*>(tlb->data.data()), static_cast<std::streamsize>(tlb->data.size()));
        if (!out.flush()) throw std::runtime_error(std::string("cannot write ") + argv[3]);
        return 0;
    }
    std::map<std::string, std::string> opt;
    bool dump = false, program = false;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--dump") {
            dump = true;
        } else if (a == "--program") {
            program = true;
        } else if (a.rfind("--", 0) == 0 && i + 1 < argc) {
            opt[a.substr(2)] = argv[++i];
        } else {
            throw std::invalid_argument("unknown argument " + a);
        }
    }
    for (const char* need : {"machine", "version", "exports", "system-dlls"}) {
        if (!opt.count(need) && !(program && std::string(need) == "exports"))
            throw std::invalid_argument(std::string("--") + need + " missing");
    }
    const bool x86 = opt["machine"] == "i386";
    if (!x86 && opt["machine"] != "amd64") throw std::invalid_argument("--machine is i386 or amd64");

    PeFile pe = PeFile::Load(argv[1]);
    Report report;
    char machine[16];
    std::snprintf(machine, sizeof machine, "0x%04x", pe.machine());
    report.Check(pe.machine() == (x86 ? 0x14c : 0x8664) && pe.is_pe32_plus() != x86 && pe.is_dll() != program,
                 (program ? "a program for " : "a DLL for ") + opt["machine"],
                 std::string("machine ") + machine + (pe.is_pe32_plus() ? ", PE32+" : ", PE32"));

    if (!program) {
        std::vector<std::string> want = SplitList(opt["exports"]), have = pe.export_names();
        std::sort(want.begin(), want.end());
        std::sort(have.begin(), have.end());
        report.Check(want == have, "exports exactly " + Join(want) + ", undecorated", "has " + Join(have));
    }

    std::set<std::string> system;
    for (const std::string& d : SplitList(opt["system-dlls"])) system.insert(Lower(d));
    std::vector<std::string> outside;
    for (const std::string& d : pe.imported_dlls()) {
        if (!system.count(Lower(d))) outside.push_back(d);
    }
    report.Check(outside.empty(), "imports from system DLLs only (no compiler runtime)",
                 outside.empty() ? Join(pe.imported_dlls()) : "also " + Join(outside));

    const Resource* version = pe.FindResource(ResourceId{16, {}}, ResourceId{1, {}});
    std::string found = version ? FileVersion(version->data).value_or("unreadable") : "missing";
    report.Check(found == opt["version"], "version resource " + opt["version"], found);
    if (program) return report.Finish();

    const ResourceId typelib{std::nullopt, u"TYPELIB"};
    const Resource* tlb = pe.FindResource(typelib, ResourceId{1, {}});
    report.Check(tlb != nullptr, "type library resource 1");
    report.Check(pe.FindResource(typelib, ResourceId{2, {}}) != nullptr, "type library resource 2 (the collection's)");
    if (tlb) {
        TypeLibFile lib = ReadTypeLib(tlb->data);
        if (dump) Dump(lib);
        CheckLayout(report, lib, x86 ? 4 : 8);
        if (opt.count("typelib-imports")) {
            // A reference into an imported library resolves through the
            // registration under the GUID, version and LCID recorded here.
            std::vector<std::string> want_imports = SplitList(opt["typelib-imports"]), have_imports;
            for (const ImportedLibrary& imp : lib.imports) have_imports.push_back(ImportKey(imp));
            std::sort(want_imports.begin(), want_imports.end());
            std::sort(have_imports.begin(), have_imports.end());
            report.Check(want_imports == have_imports, "type library imports exactly " + Join(want_imports),
                         "records " + Join(have_imports));
        }
        if (opt.count("typelib-equals")) {
            Bytes kept = ReadFile(opt["typelib-equals"]);
            std::size_t first = 0;
            while (first < kept.size() && first < tlb->data.size() && kept[first] == tlb->data[first]) ++first;
            report.Check(kept == tlb->data, "type library resource 1 equals " + opt["typelib-equals"],
                         kept == tlb->data ? std::to_string(kept.size()) + " bytes"
                                           : "sizes " + std::to_string(tlb->data.size()) + " and " +
                                                 std::to_string(kept.size()) + ", first difference at byte " +
                                                 std::to_string(first));
        }
    }
    if (opt.count("manifest-equals")) {
        // The side-by-side manifest: resource 1, the shipped file's bytes,
        // for the DLL's own processor.
        const Resource* manifest = pe.FindResource(ResourceId{24, {}}, ResourceId{1, {}});
        Bytes shipped = ReadFile(opt["manifest-equals"]);
        report.Check(manifest && manifest->data == shipped, "manifest resource 1 equals " + opt["manifest-equals"],
                     manifest ? std::to_string(manifest->data.size()) + " and " + std::to_string(shipped.size()) + " bytes"
                              : "no manifest resource 1");
        const std::string arch = std::string("processorArchitecture=\"") + (x86 ? "x86" : "amd64") + "\"";
        report.Check(std::string(shipped.begin(), shipped.end()).find(arch) != std::string::npos,
                     "manifest names " + arch);
    }
    return report.Finish();
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "dllcheck: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::printf("FAIL: %s\n", e.what());
        return 2;
    }
}
