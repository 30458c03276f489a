// DllRegisterServer / DllUnregisterServer: the type library, the classes with
// their ProgIDs, and the interface keys (with the two older IniFile IIDs, which
// the type library carries only as aliases and so does not register itself).
#include "frame/classes.h"
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

std::wstring GuidText(REFGUID g) {
    wchar_t buf[40];
    StringFromGUID2(g, buf, 40);
    return buf;
}

LONG SetKey(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return rc;
}

LONG DeleteTree(const std::wstring& path) {
    LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    if (rc == ERROR_SUCCESS) rc = RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

HRESULT FromWin32(LONG rc) { return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc); }

HRESULT RegisterClasses(const std::wstring& dll) {
    const std::wstring libid = GuidText(LIBID_VemoFunction);
    for (int i = 0; i < ClassCount(); ++i) {
        const ClassEntry& c = Classes()[i];
        const std::wstring clsid = GuidText(*c.clsid);
        const std::wstring key = L"CLSID\\" + clsid;
        LONG rc = SetKey(key, nullptr, c.progId);
        if (!rc) rc = SetKey(key + L"\\InprocServer32", nullptr, dll);
        if (!rc) rc = SetKey(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        if (!rc) rc = SetKey(key + L"\\ProgID", nullptr, c.progId);
        if (!rc) rc = SetKey(key + L"\\TypeLib", nullptr, libid);
        if (!rc) rc = SetKey(key + L"\\VERSION", nullptr, kLibVersion);
        if (!rc) rc = SetKey(c.progId, nullptr, c.progId);
        if (!rc) rc = SetKey(std::wstring(c.progId) + L"\\CLSID", nullptr, clsid);
        if (rc) return FromWin32(rc);
    }
    for (const LegacyInterface& li : kLegacyIniFile) {
        const std::wstring key = std::wstring(L"Interface\\") + li.iid;
        LONG rc = SetKey(key, nullptr, li.name);
        if (!rc) rc = SetKey(key + L"\\ProxyStubClsid", nullptr, kAutomationMarshaller);
        if (!rc) rc = SetKey(key + L"\\ProxyStubClsid32", nullptr, kAutomationMarshaller);
        if (!rc) rc = SetKey(key + L"\\TypeLib", nullptr, libid);
        if (!rc) rc = SetKey(key + L"\\TypeLib", L"Version", kLibVersion);
        if (rc) return FromWin32(rc);
    }
    return S_OK;
}

HRESULT UnregisterClasses() {
    HRESULT result = S_OK;
    for (int i = 0; i < ClassCount(); ++i) {
        const ClassEntry& c = Classes()[i];
        HRESULT hr = FromWin32(DeleteTree(L"CLSID\\" + GuidText(*c.clsid)));
        if (SUCCEEDED(hr)) hr = FromWin32(DeleteTree(c.progId));
        if (FAILED(hr)) result = hr;
    }
    for (const LegacyInterface& li : kLegacyIniFile) {
        HRESULT hr = FromWin32(DeleteTree(std::wstring(L"Interface\\") + li.iid));
        if (FAILED(hr)) result = hr;
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
    HRESULT hr = UnRegisterTypeLib(LIBID_VemoFunction, 1, 2, LOCALE_NEUTRAL, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    if (hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED) hr = S_OK;  // nothing to remove
    HRESULT classes = vemo::UnregisterClasses();
    return FAILED(hr) ? hr : classes;
}
