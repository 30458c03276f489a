// DllRegisterServer / DllUnregisterServer: the type library, the classes with
// their ProgIDs, and the interface keys (with the two older IniFile IIDs, which
// the type library carries only as aliases and so does not register itself).
#include "frame/class_registry.h"
#include "frame/com_ptr.h"
#include "frame/module.h"
#include "frame/typeinfo.h"
#include "VemoFunction_h.h"

#include <oleauto.h>
#include <string>

namespace vemo {
namespace {

const wchar_t kLibVersion[] = L"1.2";
const wchar_t kAutomationMarshaller[] = L"{00020424-0000-0000-C000-000000000046}";

struct LegacyInterface {
    const wchar_t* iid;
    const wchar_t* name;
};
const LegacyInterface kLegacyIniFile[] = {
    {L"{A8CB2540-E499-11D5-9FA9-00E04C54B3B6}", L"IniFile___v0"},
    {L"{B7AD0309-C0CB-4506-A74F-93D37EEFD9C7}", L"IniFile___v1"},
};

HRESULT FromWin32(LONG rc) { return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc); }

HRESULT RegisterClasses(const std::wstring& dll) {
    HRESULT hr = RegisterClassTable(dll, &LIBID_VemoFunction, kLibVersion);
    if (FAILED(hr)) return hr;
    const std::wstring libid = GuidText(LIBID_VemoFunction);
    for (const LegacyInterface& li : kLegacyIniFile) {
        const std::wstring key = std::wstring(L"Interface\\") + li.iid;
        LONG rc = SetClassesKey(key, nullptr, li.name);
        if (!rc) rc = SetClassesKey(key + L"\\ProxyStubClsid", nullptr, kAutomationMarshaller);
        if (!rc) rc = SetClassesKey(key + L"\\ProxyStubClsid32", nullptr, kAutomationMarshaller);
        if (!rc) rc = SetClassesKey(key + L"\\TypeLib", nullptr, libid);
        if (!rc) rc = SetClassesKey(key + L"\\TypeLib", L"Version", kLibVersion);
        if (rc) return FromWin32(rc);
    }
    return S_OK;
}

HRESULT UnregisterClasses() {
    HRESULT result = UnregisterClassTable();
    for (const LegacyInterface& li : kLegacyIniFile) {
        HRESULT hr = FromWin32(DeleteClassesTree(std::wstring(L"Interface\\") + li.iid));
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}

}  // namespace
}  // namespace vemo

STDAPI DllRegisterServer() {
    const std::wstring dll = vemo::ModulePath();
    vemo::ComPtr<ITypeLib> lib;
    HRESULT hr = vemo::LoadOwnTypeLib(lib.Out());
    if (SUCCEEDED(hr)) hr = RegisterTypeLib(lib.Get(), const_cast<LPOLESTR>(dll.c_str()), nullptr);
    if (SUCCEEDED(hr)) hr = vemo::RegisterClasses(dll);
    return hr;
}

STDAPI DllUnregisterServer() {
    HRESULT hr = vemo::UnregisterTypeLibrary(LIBID_VemoFunction, 1, 2);
    HRESULT classes = vemo::UnregisterClasses();
    return FAILED(hr) ? hr : classes;
}
