// The registry keys of a DLL's class table (frame/classes.h), for its
// DllRegisterServer and DllUnregisterServer: CLSID with InprocServer32
// (apartment), ProgID and, when given, the type library; and the ProgID's
// CLSID. All keys live under HKEY_CLASSES_ROOT. Also the removal of a type
// library's registration.
#pragma once
#include <windows.h>
#include <string>

namespace vemo {

std::wstring GuidText(REFGUID g);
// Writes one value (the default value when `name` is null) of a key.
LONG SetClassesKey(const std::wstring& path, const wchar_t* name, const std::wstring& value);
// Removes a key with everything below it; a missing key is no error.
LONG DeleteClassesTree(const std::wstring& path);

// `libid` and `libVersion` may be null: no TypeLib or VERSION key then.
HRESULT RegisterClassTable(const std::wstring& dll, const GUID* libid, const wchar_t* libVersion);
// Removes the keys of every class; the first failure is returned, after
// trying them all.
HRESULT UnregisterClassTable();

// Removes the registration of a type library of this build's platform
// (32- or 64-bit); a library that is not registered is no error.
HRESULT UnregisterTypeLibrary(REFGUID libid, WORD major, WORD minor);

}  // namespace vemo
