// DllRegisterServer / DllUnregisterServer (for the machine) and DllInstall
// (for the user with the command line "user"): the type library, the
// classes with their ProgIDs, and the interface keys (with the two older
// IniFile IIDs, which the type library carries only as aliases and so does
// not register itself). One implementation for both, below the given root.
#include "frame/class_registry.h"
#include "vemofunction/class_table.h"
#include "frame/com_ptr.h"
#include "frame/errors.h"
#include "frame/module.h"
#include "frame/typeinfo.h"
#include "VemoFunction_h.h"

#include <oleauto.h>
#include <string>

namespace vemo {
namespace {

HRESULT FromWin32(LONG rc) { return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc); }

HRESULT RegisterAliasInterfaces(HKEY root) {
    for (const table::InterfaceText& i : table::kInterfaces) {
        if (!i.alias) continue;
        const std::wstring key = std::wstring(L"Interface\\") + i.iid;
        LONG rc = SetClassesKey(key, nullptr, i.name, root);
        if (!rc) rc = SetClassesKey(key + L"\\ProxyStubClsid", nullptr, table::kAutomationMarshaller, root);
        if (!rc) rc = SetClassesKey(key + L"\\ProxyStubClsid32", nullptr, table::kAutomationMarshaller, root);
        if (!rc) rc = SetClassesKey(key + L"\\TypeLib", nullptr, table::kLibId, root);
        if (!rc) rc = SetClassesKey(key + L"\\TypeLib", L"Version", table::kLibVersion, root);
        if (rc) return FromWin32(rc);
    }
    return S_OK;
}

HRESULT Register(HKEY root) {
    const std::wstring dll = ModulePath();
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadOwnTypeLib(lib.Out());
    if (SUCCEEDED(hr)) hr = RegisterTypeLibrary(lib.Get(), dll, root);
    if (SUCCEEDED(hr)) hr = RegisterClassTable(dll, &LIBID_VemoFunction, table::kLibVersion, root, table::kThreadingModel);
    if (SUCCEEDED(hr)) hr = RegisterAliasInterfaces(root);
    return hr;
}

HRESULT Unregister(HKEY root) {
    HRESULT result = UnregisterTypeLibrary(LIBID_VemoFunction, table::kLibMajor, table::kLibMinor, root);
    HRESULT classes = UnregisterClassTable(root);
    if (SUCCEEDED(result)) result = classes;
    for (const table::InterfaceText& i : table::kInterfaces) {
        if (!i.alias) continue;
        HRESULT hr = FromWin32(DeleteClassesTree(std::wstring(L"Interface\\") + i.iid, root));
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}

}  // namespace
}  // namespace vemo

STDAPI DllRegisterServer() {
    return vemo::Sealed([] { return vemo::Register(HKEY_CLASSES_ROOT); });
}

STDAPI DllUnregisterServer() {
    return vemo::Sealed([] { return vemo::Unregister(HKEY_CLASSES_ROOT); });
}

// regsvr32 /n /i:user calls DllInstall(TRUE, L"user"); regsvr32 /u /n /i:user
// DllInstall(FALSE, L"user"). Without a command line it does what
// DllRegisterServer or DllUnregisterServer do.
STDAPI DllInstall(BOOL install, PCWSTR commandLine) {
    if (!commandLine || !*commandLine) return install ? DllRegisterServer() : DllUnregisterServer();
    if (_wcsicmp(commandLine, L"user") != 0) return E_INVALIDARG;
    return vemo::Sealed([&]() -> HRESULT {
        vemo::UserClassesRoot user;
        if (user.Status() != ERROR_SUCCESS) return HRESULT_FROM_WIN32(user.Status());
        return install ? vemo::Register(user.Key()) : vemo::Unregister(user.Key());
    });
}
