// DllRegisterServer / DllUnregisterServer of the test host's components: both
// embedded type libraries (resource 1, the components' own; resource 2, the
// host's Pyx library) and every class of the table with its ProgID.
#include "frame/classes.h"
#include "frame/com_ptr.h"
#include "frame/module.h"
#include "host_components_h.h"

#include <oleauto.h>
#include <string>

namespace {

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

void DeleteTree(const std::wstring& path) {
    if (RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str()) == ERROR_SUCCESS) RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
}

HRESULT RegisterLibrary(const std::wstring& path) {
    vemo::ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib.Out());
    if (SUCCEEDED(hr)) hr = RegisterTypeLib(lib.Get(), const_cast<LPOLESTR>(path.c_str()), nullptr);
    return hr;
}

}  // namespace

STDAPI DllRegisterServer() {
    const std::wstring dll = vemo::ModulePath();
    HRESULT hr = RegisterLibrary(dll);
    if (SUCCEEDED(hr)) hr = RegisterLibrary(dll + L"\\2");
    if (FAILED(hr)) return hr;
    const std::wstring libid = GuidText(LIBID_TestHost);
    for (int i = 0; i < vemo::ClassCount(); ++i) {
        const vemo::ClassEntry& c = vemo::Classes()[i];
        const std::wstring key = L"CLSID\\" + GuidText(*c.clsid);
        LONG rc = SetKey(key, nullptr, c.progId);
        if (!rc) rc = SetKey(key + L"\\InprocServer32", nullptr, dll);
        if (!rc) rc = SetKey(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        if (!rc) rc = SetKey(key + L"\\ProgID", nullptr, c.progId);
        if (!rc) rc = SetKey(key + L"\\TypeLib", nullptr, libid);
        if (!rc) rc = SetKey(c.progId, nullptr, c.progId);
        if (!rc) rc = SetKey(std::wstring(c.progId) + L"\\CLSID", nullptr, GuidText(*c.clsid));
        if (rc) return HRESULT_FROM_WIN32(rc);
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    for (int i = 0; i < vemo::ClassCount(); ++i) {
        const vemo::ClassEntry& c = vemo::Classes()[i];
        DeleteTree(L"CLSID\\" + GuidText(*c.clsid));
        DeleteTree(c.progId);
    }
    UnRegisterTypeLib(LIBID_TestHost, 1, 0, LOCALE_NEUTRAL, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    // The Pyx library stays registered: the product's import of it is the
    // same library under the same identity.
    return S_OK;
}
