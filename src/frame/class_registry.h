// The registry keys of a DLL's class table (frame/classes.h), for the
// frame's DllRegisterServer, DllUnregisterServer and DllInstall, and the
// product's further keys: CLSID with
// InprocServer32 (apartment unless the DLL says otherwise), ProgID and, when given, the type library; and
// the ProgID's CLSID. Every function writes below a classes root:
// HKEY_CLASSES_ROOT for the machine (the default), or the user's
// HKCU\Software\Classes (UserClassesRoot) for a registration without
// administrator rights. Also the type library's registration for either.
#pragma once
#include "frame/classes.h"
#include "frame/handles.h"

#include <windows.h>
#include <oaidl.h>
#include <string>

namespace vemo {

std::wstring GuidText(REFGUID g);
// Writes one value (the default value when `name` is null) of a key.
LONG SetClassesKey(const std::wstring& path, const wchar_t* name, const std::wstring& value,
                   HKEY root = HKEY_CLASSES_ROOT);
// Removes a key with everything below it; a missing key is no error.
LONG DeleteClassesTree(const std::wstring& path, HKEY root = HKEY_CLASSES_ROOT);

// The user's HKCU\Software\Classes, opened (created if need be) for writing;
// closes itself.
class UserClassesRoot {
public:
    UserClassesRoot();
    HKEY Key() const { return key_.Get(); }
    LONG Status() const { return status_; }

private:
    RegKey key_;
    LONG status_;
};

// `libid` and `libVersion` may be null: no TypeLib or VERSION key then.
HRESULT RegisterClassTable(const ClassList& classes, const std::wstring& dll, const GUID* libid,
                           const wchar_t* libVersion, HKEY root = HKEY_CLASSES_ROOT,
                           const wchar_t* threadingModel = L"Apartment");
// Removes the keys of every class; the first failure is returned, after
// trying them all.
HRESULT UnregisterClassTable(const ClassList& classes, HKEY root = HKEY_CLASSES_ROOT);

// Registers a type library for the machine (RegisterTypeLib) or, below the
// user's root, for the user (RegisterTypeLibForUser).
HRESULT RegisterTypeLibrary(ITypeLib* lib, const std::wstring& path, HKEY root = HKEY_CLASSES_ROOT);
// Removes the registration of a type library of this build's platform
// (32- or 64-bit), for the machine or the user as `root` says; a library
// that is not registered is no error.
HRESULT UnregisterTypeLibrary(REFGUID libid, WORD major, WORD minor, HKEY root = HKEY_CLASSES_ROOT);

}  // namespace vemo
