#include "frame/class_registry.h"
#include "frame/classes.h"

#include <objbase.h>
#include <oleauto.h>

namespace vemo {
namespace {

HRESULT FromWin32(LONG rc) { return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc); }

}  // namespace

std::wstring GuidText(REFGUID g) {
    wchar_t buf[40];
    StringFromGUID2(g, buf, 40);
    return buf;
}

LONG SetClassesKey(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return rc;
}

LONG DeleteClassesTree(const std::wstring& path) {
    LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    if (rc == ERROR_SUCCESS) rc = RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

HRESULT RegisterClassTable(const std::wstring& dll, const GUID* libid, const wchar_t* libVersion) {
    const std::wstring lib = libid ? GuidText(*libid) : std::wstring();
    for (int i = 0; i < ClassCount(); ++i) {
        const ClassEntry& c = Classes()[i];
        const std::wstring clsid = GuidText(*c.clsid);
        const std::wstring key = L"CLSID\\" + clsid;
        LONG rc = SetClassesKey(key, nullptr, c.progId);
        if (!rc) rc = SetClassesKey(key + L"\\InprocServer32", nullptr, dll);
        if (!rc) rc = SetClassesKey(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        if (!rc) rc = SetClassesKey(key + L"\\ProgID", nullptr, c.progId);
        if (!rc && libid) rc = SetClassesKey(key + L"\\TypeLib", nullptr, lib);
        if (!rc && libVersion) rc = SetClassesKey(key + L"\\VERSION", nullptr, libVersion);
        if (!rc) rc = SetClassesKey(c.progId, nullptr, c.progId);
        if (!rc) rc = SetClassesKey(std::wstring(c.progId) + L"\\CLSID", nullptr, clsid);
        if (rc) return FromWin32(rc);
    }
    return S_OK;
}

HRESULT UnregisterClassTable() {
    HRESULT result = S_OK;
    for (int i = 0; i < ClassCount(); ++i) {
        const ClassEntry& c = Classes()[i];
        HRESULT hr = FromWin32(DeleteClassesTree(L"CLSID\\" + GuidText(*c.clsid)));
        if (SUCCEEDED(hr)) hr = FromWin32(DeleteClassesTree(c.progId));
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}

HRESULT UnregisterTypeLibrary(REFGUID libid, WORD major, WORD minor) {
    const SYSKIND platform = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    HRESULT hr = UnRegisterTypeLib(libid, major, minor, LOCALE_NEUTRAL, platform);
    return hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED ? S_OK : hr;
}

}  // namespace vemo
