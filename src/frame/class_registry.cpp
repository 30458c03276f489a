#include "frame/class_registry.h"
#include "frame/errors.h"
#include "frame/handles.h"

#include <objbase.h>
#include <oleauto.h>

// Declared by the Windows SDK's oleauto.h, not by every mingw-w64's.
extern "C" {
HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* lib, OLECHAR* path, OLECHAR* helpDir);
HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID libid, WORD major, WORD minor, LCID lcid, SYSKIND syskind);
}

namespace vemo {
namespace {

// Wine's per-user type library functions write for the machine. While one
// runs, the user's classes key stands in for HKEY_CLASSES_ROOT in this
// process, so that they write where Windows' own do (which is below the
// user's key anyway).
class UserRootOverride {
public:
    explicit UserRootOverride(HKEY root) : status_(RegOverridePredefKey(HKEY_CLASSES_ROOT, root)) {}
    ~UserRootOverride() {
        if (status_ == ERROR_SUCCESS) RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    }
    LONG Status() const { return status_; }

private:
    LONG status_;
};

}  // namespace

std::wstring GuidText(REFGUID g) {
    wchar_t buf[40];
    StringFromGUID2(g, buf, 40);
    return buf;
}

LONG SetClassesKey(const std::wstring& path, const wchar_t* name, const std::wstring& value, HKEY root) {
    RegKey key;
    LONG rc = RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Out(), nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    return RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LONG DeleteClassesTree(const std::wstring& path, HKEY root) {
    LONG rc = RegDeleteTreeW(root, path.c_str());
    if (rc == ERROR_SUCCESS) rc = RegDeleteKeyW(root, path.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

UserClassesRoot::UserClassesRoot()
    : status_(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key_.Out(), nullptr)) {}

HRESULT RegisterClassTable(const ClassList& classes, const std::wstring& dll, const GUID* libid,
                           const wchar_t* libVersion, HKEY root, const wchar_t* threadingModel) {
    const std::wstring lib = libid ? GuidText(*libid) : std::wstring();
    auto set = [root](const std::wstring& path, const wchar_t* name, const std::wstring& value) {
        return SetClassesKey(path, name, value, root);
    };
    for (const ClassEntry& c : classes) {
        const std::wstring clsid = GuidText(*c.clsid);
        const std::wstring key = L"CLSID\\" + clsid;
        LONG rc = set(key, nullptr, c.progId);
        if (!rc) rc = set(key + L"\\InprocServer32", nullptr, dll);
        if (!rc) rc = set(key + L"\\InprocServer32", L"ThreadingModel", threadingModel);
        if (!rc) rc = set(key + L"\\ProgID", nullptr, c.progId);
        if (!rc && libid) rc = set(key + L"\\TypeLib", nullptr, lib);
        if (!rc && libVersion) rc = set(key + L"\\VERSION", nullptr, libVersion);
        if (!rc) rc = set(c.progId, nullptr, c.progId);
        if (!rc) rc = set(std::wstring(c.progId) + L"\\CLSID", nullptr, clsid);
        if (rc) return FromWin32(rc);
    }
    return S_OK;
}

HRESULT UnregisterClassTable(const ClassList& classes, HKEY root) {
    HRESULT result = S_OK;
    for (const ClassEntry& c : classes) {
        HRESULT hr = FromWin32(DeleteClassesTree(L"CLSID\\" + GuidText(*c.clsid), root));
        if (SUCCEEDED(hr)) hr = FromWin32(DeleteClassesTree(c.progId, root));
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}

HRESULT RegisterTypeLibrary(ITypeLib* lib, const std::wstring& path, HKEY root) {
    LPOLESTR file = const_cast<LPOLESTR>(path.c_str());
    if (root == HKEY_CLASSES_ROOT) return RegisterTypeLib(lib, file, nullptr);
    UserRootOverride user(root);
    if (user.Status() != ERROR_SUCCESS) return FromWin32(user.Status());
    return RegisterTypeLibForUser(lib, file, nullptr);
}

HRESULT UnregisterTypeLibrary(REFGUID libid, WORD major, WORD minor, HKEY root) {
    const SYSKIND platform = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    HRESULT hr;
    if (root == HKEY_CLASSES_ROOT) {
        hr = UnRegisterTypeLib(libid, major, minor, LOCALE_NEUTRAL, platform);
    } else {
        UserRootOverride user(root);
        if (user.Status() != ERROR_SUCCESS) return FromWin32(user.Status());
        hr = UnRegisterTypeLibForUser(libid, major, minor, LOCALE_NEUTRAL, platform);
    }
    return hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED ? S_OK : hr;
}

}  // namespace vemo
