// DllRegisterServer / DllUnregisterServer of the test host's ADO subset: the
// classes and their ProgIDs only. The type library stays embedded and
// unregistered, so the ADO interface keys of the prefix are left alone.
#include "frame/classes.h"
#include "frame/module.h"

#include <objbase.h>
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

LONG DeleteTree(const std::wstring& path) {
    LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    if (rc == ERROR_SUCCESS) rc = RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

}  // namespace

STDAPI DllRegisterServer() {
    const std::wstring dll = vemo::ModulePath();
    for (int i = 0; i < vemo::ClassCount(); ++i) {
        const vemo::ClassEntry& c = vemo::Classes()[i];
        const std::wstring key = L"CLSID\\" + GuidText(*c.clsid);
        LONG rc = SetKey(key, nullptr, c.progId);
        if (!rc) rc = SetKey(key + L"\\InprocServer32", nullptr, dll);
        if (!rc) rc = SetKey(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        if (!rc) rc = SetKey(key + L"\\ProgID", nullptr, c.progId);
        if (!rc) rc = SetKey(c.progId, nullptr, c.progId);
        if (!rc) rc = SetKey(std::wstring(c.progId) + L"\\CLSID", nullptr, GuidText(*c.clsid));
        if (rc) return HRESULT_FROM_WIN32(rc);
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    HRESULT result = S_OK;
    for (int i = 0; i < vemo::ClassCount(); ++i) {
        const vemo::ClassEntry& c = vemo::Classes()[i];
        LONG rc = DeleteTree(L"CLSID\\" + GuidText(*c.clsid));
        if (!rc) rc = DeleteTree(c.progId);
        if (rc) result = HRESULT_FROM_WIN32(rc);
    }
    return result;
}
