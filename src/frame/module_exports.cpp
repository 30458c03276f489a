// The exports of every COM DLL of the project, made from its definition
// (ThisModule(), frame/classes.h). A DLL's .def file names the ones it
// offers.
#include "frame/class_factory.h"
#include "frame/class_registry.h"
#include "frame/com_ptr.h"
#include "frame/errors.h"
#include "frame/module.h"

#include <oleauto.h>
#include <string>

namespace vemo {
namespace {

HRESULT RegisterEmbeddedLibrary(const std::wstring& path, HKEY root) {
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib.Out());
    return SUCCEEDED(hr) ? RegisterTypeLibrary(lib.Get(), path, root) : hr;
}

HRESULT Register(HKEY root) {
    const ModuleDefinition& module = ThisModule();
    const std::wstring dll = ModulePath();
    HRESULT hr = S_OK;
    if (module.libid) hr = RegisterEmbeddedLibrary(dll, root);
    if (SUCCEEDED(hr) && module.sharedLibraryResource)
        hr = RegisterEmbeddedLibrary(dll + L"\\" + std::to_wstring(module.sharedLibraryResource), root);
    if (SUCCEEDED(hr))
        hr = RegisterClassTable(module.classes, dll, module.libid, module.libVersion, root, module.threadingModel);
    if (SUCCEEDED(hr) && module.registerMore) hr = module.registerMore(root);
    return hr;
}

// Tries every step; the first failure is the result.
HRESULT Unregister(HKEY root) {
    const ModuleDefinition& module = ThisModule();
    HRESULT result = S_OK;
    const auto step = [&result](HRESULT hr) {
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    };
    if (module.libid) step(UnregisterTypeLibrary(*module.libid, module.libMajor, module.libMinor, root));
    step(UnregisterClassTable(module.classes, root));
    if (module.unregisterMore) step(module.unregisterMore(root));
    return result;
}

}  // namespace
}  // namespace vemo

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) { return vemo::GetClassObject(clsid, iid, out); }

STDAPI DllCanUnloadNow() { return vemo::ModuleInUse() ? S_FALSE : S_OK; }

STDAPI DllRegisterServer() {
    return vemo::Sealed([] { return vemo::Register(HKEY_CLASSES_ROOT); });
}

STDAPI DllUnregisterServer() {
    return vemo::Sealed([] { return vemo::Unregister(HKEY_CLASSES_ROOT); });
}

// regsvr32 /n /i:user calls DllInstall(TRUE, L"user"), regsvr32 /u /n
// /i:user DllInstall(FALSE, L"user"): the same keys below the user's
// classes. Without a command line it does what DllRegisterServer or
// DllUnregisterServer do.
STDAPI DllInstall(BOOL install, PCWSTR commandLine) {
    if (!commandLine || !*commandLine) return install ? DllRegisterServer() : DllUnregisterServer();
    if (_wcsicmp(commandLine, L"user") != 0) return E_INVALIDARG;
    return vemo::Sealed([&]() -> HRESULT {
        vemo::UserClassesRoot user;
        if (user.Status() != ERROR_SUCCESS) return HRESULT_FROM_WIN32(user.Status());
        return install ? vemo::Register(user.Key()) : vemo::Unregister(user.Key());
    });
}
