// The registration's keys and files, as the view shows them: is anything
// registered for this bitness, each class's ProgID, threading model and
// library keys, the files the classes name, the type library, and the keys
// by which the dual interfaces are marshalled.
#include "checker/checks.h"
#include "checker/server_file.h"
#include "frame/com_ptr.h"
#include "frame/typeinfo.h"

#include <oleauto.h>
#include <vector>

namespace vemo::check {
namespace {

using table::kClasses;
using table::kInterfaces;

std::wstring ClassKey(int i) { return std::wstring(L"CLSID\\") + kClasses[i].clsid; }
std::wstring Quoted(const std::optional<std::wstring>& v) { return v ? L"\"" + *v + L"\"" : L"missing"; }
bool Equal(const std::optional<std::wstring>& v, const wchar_t* want) {
    return v && CompareStringOrdinal(v->c_str(), -1, want, -1, TRUE) == CSTR_EQUAL;
}

// Nothing of the library in this view: the one line that says so, and
// where it is registered instead.
bool CheckRegistered(Context& c) {
    for (int i = 0; i < kClassCount; ++i) {
        if (c.view.HasKey(ClassKey(i))) {
            c.report.Ok(L"VemoFunction's classes are registered in " + c.view.Name());
            return true;
        }
    }
    if (Is64BitWindows()) {
        const ClassesView other = c.view.Other();
        for (int i = 0; i < kClassCount; ++i) {
            auto server = other.Text(ClassKey(i) + L"\\InprocServer32");
            if (!other.HasKey(ClassKey(i))) continue;
            c.report.Problem(L"VemoFunction is registered only in " + other.Name() + L" (" +
                                 (server ? FilePath(*server) : std::wstring(L"no file")) + L", by the " +
                                 BitsText(other.bits()) + L" regsvr32): " + BitsText(c.view.bits()) +
                                 L" clients cannot create it",
                             c.Register());
            return false;
        }
    }
    c.report.Problem(L"VemoFunction is not registered in " + c.view.Name(), c.Register());
    return false;
}

void CheckClass(Context& c, Findings& f, int i) {
    const table::ClassText& k = kClasses[i];
    const std::wstring name = k.name;
    auto progId = c.view.Text(std::wstring(k.progId) + L"\\CLSID");
    if (!progId) {
        c.report.Problem(name + L": ProgID " + k.progId + L" is not registered", c.Register());
    } else if (!SameGuid(*progId, k.clsid)) {
        c.report.Problem(name + L": ProgID " + k.progId + L" names " + *progId + L", not " + k.clsid, c.Register());
    } else {
        c.report.Ok(name + L": ProgID " + k.progId + L" names " + k.clsid);
        f.classes[i].progId = true;
    }

    const std::wstring server = ClassKey(i) + L"\\InprocServer32";
    auto file = c.view.Text(server);
    if (!c.view.HasKey(ClassKey(i))) {
        c.report.Problem(name + L": class " + k.clsid + L" is not registered", c.Register());
    } else if (!file || file->empty()) {
        c.report.Problem(name + L": class " + k.clsid + L" names no in-process server (InprocServer32)", c.Register());
    } else {
        f.classes[i].serverFile = FilePath(*file);
        auto model = c.view.Text(server, L"ThreadingModel");
        if (Equal(model, table::kThreadingModel)) {
            c.report.Ok(name + L": ThreadingModel " + table::kThreadingModel);
        } else {
            c.report.Problem(name + L": ThreadingModel is " + Quoted(model) + L", not " + table::kThreadingModel,
                             c.Register());
        }
    }

    auto lib = c.view.Text(ClassKey(i) + L"\\TypeLib"), version = c.view.Text(ClassKey(i) + L"\\VERSION");
    if (lib && SameGuid(*lib, table::kLibId) && Equal(version, table::kLibVersion)) {
        c.report.Ok(name + L": TypeLib " + table::kLibId + L", VERSION " + table::kLibVersion);
    } else if (c.view.HasKey(ClassKey(i))) {
        c.report.Problem(name + L": TypeLib is " + Quoted(lib) + L" and VERSION " + Quoted(version) + L", not " +
                             table::kLibId + L" and " + table::kLibVersion,
                         c.Register());
    }
}

// Each file the classes name, once: it exists (and with /dll is that one),
// is a DLL of this bitness, and is this release.
void CheckServerFiles(Context& c, Findings& f) {
    std::vector<bool> done(kClassCount, false);
    for (int i = 0; i < kClassCount; ++i) {
        const std::wstring& path = f.classes[i].serverFile;
        if (path.empty() || done[i]) continue;
        std::wstring names;
        for (int j = i; j < kClassCount; ++j) {
            if (!done[j] && SameFile(f.classes[j].serverFile, path)) {
                done[j] = true;
                names += (names.empty() ? L"" : L", ") + std::wstring(kClasses[j].name);
            }
        }
        const std::wstring label = L"in-process server of " + names + L": " + path;
        bool usable = false;
        const std::wstring instead = c.SoundDllOtherThan(path);
        if (!FileExists(path)) {
            c.report.Problem(label + L" does not exist",
                             L"reinstall VemoFunction, or " +
                                 (instead.empty()
                                      ? L"register the DLL where it is now: " + c.Register(L"PATH OF VemoFunction.dll")
                                      : c.Register(instead)));
            c.report.NotRun(path + L": machine type and version", L"the file does not exist");
        } else {
            if (!c.options.dll.empty() && !SameFile(path, c.options.dll)) {
                c.report.Problem(label + L" is not the expected " + c.options.dll, c.Register(c.options.dll));
            } else {
                c.report.Ok(label + (c.options.dll.empty() ? L" exists" : L" exists and is the expected file"));
            }
            auto bits = PeBits(path);
            const Bits own = c.view.bits();
            if (!bits) {
                c.report.Problem(path + L" is no 32- or 64-bit Windows DLL", L"reinstall VemoFunction");
            } else if (*bits != own) {
                c.report.Problem(path + L" is a " + BitsText(*bits) + L" DLL, which " + BitsText(own) +
                                     L" clients cannot load (it serves " + BitsText(*bits) + L" clients, registered with " +
                                     Regsvr32For(*bits) + L")",
                                 c.Register(instead.empty() ? L"PATH OF THE " + std::wstring(BitsText(own)) +
                                                                  L" VemoFunction.dll"
                                                            : instead));
            } else {
                c.report.Ok(path + L" is a " + BitsText(own) + L" DLL");
                usable = true;
            }
            auto version = FileVersion(path);
            const std::wstring release = std::wstring(L"reinstall VemoFunction ") + table::kAssemblyVersion;
            if (!bits) {
                c.report.NotRun(path + L": version", L"the file is no DLL");
            } else if (Equal(version, table::kAssemblyVersion)) {
                c.report.Ok(path + L" has file version " + table::kAssemblyVersion);
            } else {
                c.report.Problem(path + L" has file version " + (version ? *version : L"none") + L", not " +
                                     table::kAssemblyVersion,
                                 instead.empty() ? release : release + L", or " + c.Register(instead));
            }
        }
        for (int j = 0; j < kClassCount; ++j) {
            if (SameFile(f.classes[j].serverFile, path)) f.classes[j].server = usable;
        }
    }
}

bool IsServerFile(const Findings& f, const std::wstring& path) {
    for (const Findings::Class& k : f.classes) {
        if (!k.serverFile.empty() && SameFile(k.serverFile, path)) return true;
    }
    return false;
}

void CheckTypeLibrary(Context& c, Findings& f) {
    const Bits own = c.view.bits();
    const std::wstring version = std::wstring(L"TypeLib\\") + table::kLibId + L"\\" + table::kLibVersion + L"\\0\\";
    const std::wstring label = std::wstring(L"type library ") + table::kLibId + L" " + table::kLibVersion + L" (" +
                               TypeLibPlatform(own) + L")";
    auto registered = c.view.Text(version + TypeLibPlatform(own));
    if (!registered) {
        const bool other = c.view.HasKey(version + TypeLibPlatform(OtherBits(own)));
        c.report.Problem(label + L" is not registered" +
                             (other ? std::wstring(L"; only ") + TypeLibPlatform(OtherBits(own)) + L" is" : L""),
                         c.Register());
    } else {
        const std::wstring path = FilePath(*registered);
        if (IsServerFile(f, path)) {
            if (FileExists(path)) {
                c.report.Ok(label + L": " + path + L", the in-process server");
                f.typeLib = true;
            } else {
                c.report.NotRun(label + L": " + path, L"the in-process server's file above does not exist");
            }
        } else if (!FileExists(path)) {
            c.report.Problem(label + L" names " + path + L", which does not exist", c.Register());
        } else {
            c.report.Ok(label + L": " + path);
            f.typeLib = true;
        }
    }

    const std::wstring what = std::wstring(L"LoadRegTypeLib ") + table::kLibId + L" " + table::kLibVersion;
    if (!f.typeLib) {
        c.report.NotRun(what, L"needs the type library's registration above");
        return;
    }
    if (!c.wine.empty() && c.options.scope == Scope::kUser) {
        c.report.NotRun(what, L"Wine " + c.wine + L" reads no per-user classes, so it cannot load a library registered for the user");
        return;
    }
    const GUID libid = Guid(table::kLibId);
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadRegTypeLib(libid, table::kLibMajor, table::kLibMinor, LOCALE_NEUTRAL, lib.Out());
    if (FAILED(hr)) {
        c.report.Problem(what + L" fails: " + FailureText(hr), c.Register());
        return;
    }
    LibAttr attr;
    std::wstring faults;
    if (FAILED(lib->GetLibAttr(attr.Out(lib.Get()))) || !IsEqualGUID(attr->guid, libid) ||
        attr->wMajorVerNum != table::kLibMajor || attr->wMinorVerNum != table::kLibMinor) {
        faults = L" another library or version";
    } else if (attr->syskind != (own == Bits::k64 ? SYS_WIN64 : SYS_WIN32)) {
        faults = L" a library for another platform";
    }
    for (const table::ClassText& k : kClasses) {
        ComPtr<ITypeInfo> info;
        TypeAttr type;
        if (FAILED(lib->GetTypeInfoOfGuid(Guid(k.clsid), info.Out())) || FAILED(info->GetTypeAttr(type.Out(info.Get()))) ||
            type->typekind != TKIND_COCLASS)
            faults += std::wstring(L" no class ") + k.name;
    }
    if (faults.empty()) {
        c.report.Ok(what + L" loads VemoFunction " + table::kLibVersion + L" with its " + std::to_wstring(kClassCount) +
                    L" classes");
    } else {
        c.report.Problem(what + L" loads" + faults, c.Register());
    }
}

// What a client's LoadRegTypeLib finds, whatever view is checked: the
// libraries are the platform's and the host program's, registered by them.
void CheckImportedLibraries(Context& c, Findings& f) {
    f.imports = true;
    for (const table::ImportedLibraryText& k : table::kImportedLibraries) {
        const std::wstring label = std::wstring(L"type library ") + k.name + L" " + k.libId +
                                   L", which VemoFunction's refers to,";
        ComPtr<ITypeLib> lib;
        HRESULT hr = LoadRegTypeLib(Guid(k.libId), k.major, k.minor, k.lcid, lib.Out());
        if (SUCCEEDED(hr)) {
            c.report.Ok(label + L" is registered");
            continue;
        }
        f.imports = false;
        c.report.Problem(label + L" does not load (" + FailureText(hr) +
                             L"): early binding and calls from another apartment fail",
                         std::wstring(L"install or repair ") + k.provider + L", which registers it");
    }
}

void CheckInterfaces(Context& c, Findings& f) {
    for (int i = 0; i < kInterfaceCount; ++i) {
        const table::InterfaceText& k = kInterfaces[i];
        const std::wstring key = std::wstring(L"Interface\\") + k.iid;
        const std::wstring label = std::wstring(L"interface ") + k.name + L" " + k.iid;
        if (!c.view.HasKey(key)) {
            c.report.Problem(label + L" is not registered (calls from another apartment fail)", c.Register());
            continue;
        }
        auto proxy = c.view.Text(key + L"\\ProxyStubClsid32");
        auto lib = c.view.Text(key + L"\\TypeLib");
        auto version = c.view.Text(key + L"\\TypeLib", L"Version");
        std::wstring faults;
        if (!proxy || !SameGuid(*proxy, table::kAutomationMarshaller))
            faults += L"ProxyStubClsid32 is " + Quoted(proxy) + L", not the automation marshaller " +
                      table::kAutomationMarshaller;
        if (!lib || !SameGuid(*lib, table::kLibId) || !Equal(version, table::kLibVersion))
            faults += (faults.empty() ? L"" : L"; ") + std::wstring(L"TypeLib is ") + Quoted(lib) + L" version " +
                      Quoted(version) + L", not " + table::kLibId + L" " + table::kLibVersion;
        if (faults.empty()) {
            c.report.Ok(label + L": automation marshaller, type library " + table::kLibId + L" " + table::kLibVersion);
            f.interfaces[i] = true;
        } else {
            c.report.Problem(label + L": " + faults, c.Register());
        }
    }
}

}  // namespace

void CheckRegistration(Context& c, Findings& f) {
    f.registered = CheckRegistered(c);
    if (!f.registered) return;
    for (int i = 0; i < kClassCount; ++i) CheckClass(c, f, i);
    CheckServerFiles(c, f);
    CheckTypeLibrary(c, f);
    CheckImportedLibraries(c, f);
    CheckInterfaces(c, f);
}

}  // namespace vemo::check
