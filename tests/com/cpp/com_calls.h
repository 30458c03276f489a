// Plain helpers of the Windows-side test programs (no test framework): the
// library's path, GUIDs from text, late-bound calls and calls through a
// proxy from another apartment. The deployment host uses them too.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>
#include <vector>

#include "frame/com_ptr.h"
#include "frame/handles.h"
#include "frame/other_apartment.h"

using vemo::ComPtr;

inline GUID Guid(const wchar_t* text) {
    GUID g = {};
    CLSIDFromString(const_cast<LPOLESTR>(text), &g);
    return g;
}

// A DLL of the library named by an environment variable (a Windows path):
// VEMO_DLL the product, VEMO_HOOKS_DLL the test build with its hooks.
inline std::wstring LibraryPath(const wchar_t* variable = L"VEMO_DLL") {
    wchar_t buf[1024];
    DWORD n = GetEnvironmentVariableW(variable, buf, 1024);
    if (n && n < 1024) return std::wstring(buf, n);
    return std::wstring(variable) == L"VEMO_HOOKS_DLL" ? L"VemoFunctionHooks.dll" : L"VemoFunction.dll";
}

// A DLL of the library loaded as an in-process client loads it, with its
// class-object exports (null where one is missing). It stays loaded for the
// rest of the process, as a client that never frees unused libraries keeps it.
struct LoadedLibrary {
    explicit LoadedLibrary(const std::wstring& path) : module(LoadLibraryW(path.c_str())) {
        getClassObject = Export<decltype(getClassObject)>("DllGetClassObject");
        canUnloadNow = Export<decltype(canUnloadNow)>("DllCanUnloadNow");
    }
    template <class F>
    F Export(const char* name) const {
        return module ? reinterpret_cast<F>(GetProcAddress(module, name)) : nullptr;
    }
    // A new object through the class's factory.
    HRESULT Create(REFCLSID clsid, REFIID iid, void** out) const {
        *out = nullptr;
        if (!getClassObject) return E_NOINTERFACE;
        ComPtr<IClassFactory> factory;
        HRESULT hr = getClassObject(clsid, IID_IClassFactory, factory.OutVoid());
        return SUCCEEDED(hr) ? factory->CreateInstance(nullptr, iid, out) : hr;
    }

    HMODULE module = nullptr;
    HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
};

using vemo::InOtherApartment;

// A late-bound call by name with arguments first to last (the caller keeps
// and clears them); the result in `result`.
inline HRESULT LateCall(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> args,
                        VARIANT* result) {
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS p = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &p, result, nullptr, nullptr);
}
