// A host program for registration-free activation: its own manifest
// (regfree_host.manifest, resource 1) depends on the private assembly
// VemoFunction, whose DLL and manifest lie beside it. Nothing is registered.
// It creates every class by ProgID and by CLSID, calls each early and late
// bound, reads the type library, and calls every dual interface (the older
// IniFile IIDs too) from another apartment through the proxies the
// assembly's manifest declares.
// Prints one FAIL line per failed check and "N passed, M failed".
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <functional>
#include <string>

#include "VemoFunction_h.h"
#include "com_test_support.h"

namespace {

int passed = 0, failed = 0;

void Check(bool ok, const std::wstring& what) {
    if (ok) {
        ++passed;
    } else {
        ++failed;
        wprintf(L"FAIL: %ls\n", what.c_str());
    }
}

std::wstring Take(BSTR b) {
    std::wstring s = b ? std::wstring(b, SysStringLen(b)) : std::wstring();
    SysFreeString(b);
    return s;
}

// A property's value as text, late bound.
std::wstring LateGet(IDispatch* object, const wchar_t* name) {
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return L"<no member>";
    DISPPARAMS none = {};
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
    if (SUCCEEDED(hr)) hr = VariantChangeType(&result, &result, 0, VT_BSTR);
    std::wstring text = SUCCEEDED(hr) ? std::wstring(V_BSTR(&result), SysStringLen(V_BSTR(&result))) : L"<failed>";
    VariantClear(&result);
    return text;
}

struct ClassCase {
    const wchar_t* progId;
    const CLSID* clsid;
    const IID* iid;             // the default interface
    const wchar_t* property;    // read late bound
    // The same property through the interface's vtable.
    std::function<std::wstring(IUnknown*)> early;
};

template <class I>
I* As(IUnknown* u) { return static_cast<I*>(static_cast<void*>(u)); }

const ClassCase kClasses[] = {
    {L"VemoFunction.IniFile", &CLSID_IniFile, &IID__IniFile, L"IniFileName",
     [](IUnknown* u) { BSTR b = nullptr; As<_IniFile>(u)->get_IniFileName(&b); return Take(b); }},
    {L"VemoFunction.VemoFuns", &CLSID_VemoFuns, &IID__VemoFuns, L"WinSysPath",
     [](IUnknown* u) { BSTR b = nullptr; As<_VemoFuns>(u)->get_WinSysPath(&b); return Take(b); }},
    {L"VemoFunction.Btns", &CLSID_Btns, &IID__Btns, L"Count",
     [](IUnknown* u) { long n = -1; As<_Btns>(u)->get_Count(&n); return std::to_wstring(n); }},
    {L"VemoFunction.Btn", &CLSID_Btn, &IID__Btn, L"Top",
     [](IUnknown* u) { long n = -1; As<_Btn>(u)->get_Top(&n); return std::to_wstring(n); }},
};

// The dual interfaces with a class that has each and a property to read.
struct InterfaceCase {
    const wchar_t* name;
    const wchar_t* iid;
    const CLSID* clsid;
    const wchar_t* property;
};
const InterfaceCase kInterfaces[] = {
    {L"_IniFile", L"{CC289CE1-275D-43BA-A3B7-23E2C0D703D2}", &CLSID_IniFile, L"IniFileName"},
    {L"IniFile___v0", L"{A8CB2540-E499-11D5-9FA9-00E04C54B3B6}", &CLSID_IniFile, L"IniFileName"},
    {L"IniFile___v1", L"{B7AD0309-C0CB-4506-A74F-93D37EEFD9C7}", &CLSID_IniFile, L"IniFileName"},
    {L"_VemoFuns", L"{A8CB2546-E499-11D5-9FA9-00E04C54B3B6}", &CLSID_VemoFuns, L"WinSysPath"},
    {L"_Btns", L"{A8CB2544-E499-11D5-9FA9-00E04C54B3B6}", &CLSID_Btns, L"Count"},
    {L"_Btn", L"{A8CB2542-E499-11D5-9FA9-00E04C54B3B6}", &CLSID_Btn, L"Top"},
};

bool Registered(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void CheckNothingRegistered() {
    for (const ClassCase& c : kClasses) {
        Check(!Registered(HKEY_CLASSES_ROOT, c.progId) &&
                  !Registered(HKEY_CURRENT_USER, std::wstring(L"Software\\Classes\\") + c.progId),
              std::wstring(c.progId) + L" is not registered");
    }
    wchar_t libid[40];
    StringFromGUID2(LIBID_VemoFunction, libid, 40);
    Check(!Registered(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + libid),
          L"the type library is not registered");
}

void CheckClass(const ClassCase& c) {
    const std::wstring name = c.progId;
    // Wine maps the ProgID to a CLSID of its own making that creates the
    // class; so the object is judged by its interface, not the CLSID.
    CLSID fromProgId = {};
    Check(SUCCEEDED(CLSIDFromProgID(c.progId, &fromProgId)), name + L": the ProgID is found");
    for (int byProgId = 0; byProgId < 2; ++byProgId) {
        const std::wstring how = name + (byProgId ? L" by ProgID" : L" by CLSID");
        ComPtr<IDispatch> late;
        HRESULT hr = CoCreateInstance(byProgId ? fromProgId : *c.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                      reinterpret_cast<void**>(late.Out()));
        Check(SUCCEEDED(hr), how + L": created");
        if (FAILED(hr)) continue;
        ComPtr<IUnknown> early;
        hr = late->QueryInterface(*c.iid, reinterpret_cast<void**>(early.Out()));
        Check(SUCCEEDED(hr), how + L": has its interface");
        std::wstring value = LateGet(late.Get(), c.property);
        Check(value.find(L'<') == std::wstring::npos, how + L": " + c.property + L" late bound: " + value);
        if (SUCCEEDED(hr)) Check(c.early(early.Get()) == value, how + L": the same early bound");
        ComPtr<ITypeInfo> info;
        ComPtr<ITypeLib> lib;
        UINT index = 0;
        TLIBATTR* attr = nullptr;
        bool fromLib = SUCCEEDED(late->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Out())) &&
                       SUCCEEDED(info->GetContainingTypeLib(lib.Out(), &index)) && SUCCEEDED(lib->GetLibAttr(&attr));
        Check(fromLib && IsEqualGUID(attr->guid, LIBID_VemoFunction), how + L": type information of its library");
        if (attr) lib->ReleaseTLibAttr(attr);
    }
}

// The type library by its identity, as an early-binding client finds it.
void CheckTypeLibrary() {
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadRegTypeLib(LIBID_VemoFunction, 1, 2, LOCALE_NEUTRAL, lib.Out());
    Check(SUCCEEDED(hr), L"the type library is found by its identity");
    if (FAILED(hr)) return;
    for (const ClassCase& c : kClasses) {
        ComPtr<ITypeInfo> info;
        Check(SUCCEEDED(lib->GetTypeInfoOfGuid(*c.clsid, info.Out())), std::wstring(c.progId) + L": in the type library");
    }
}

struct CrossCall {
    IStream* stream;
    IID iid;
    const wchar_t* property;
    std::wstring value;
};

DWORD WINAPI CallFromOtherApartment(void* arg) {
    auto* call = static_cast<CrossCall*>(arg);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IDispatch* proxy = nullptr;
    if (SUCCEEDED(CoGetInterfaceAndReleaseStream(call->stream, call->iid, reinterpret_cast<void**>(&proxy)))) {
        call->value = LateGet(proxy, call->property);
        proxy->Release();
    } else {
        call->value = L"<not unmarshalled>";
    }
    CoUninitialize();
    return 0;
}

// Each dual interface from another apartment: its proxy comes from the
// manifest's proxy-stub entry and the type library.
void CheckProxies() {
    for (const InterfaceCase& i : kInterfaces) {
        ComPtr<IUnknown> object;
        CrossCall call = {nullptr, Guid(i.iid), i.property, L""};
        HRESULT hr = CoCreateInstance(*i.clsid, nullptr, CLSCTX_INPROC_SERVER, call.iid,
                                      reinterpret_cast<void**>(object.Out()));
        if (SUCCEEDED(hr)) hr = CoMarshalInterThreadInterfaceInStream(call.iid, object.Get(), &call.stream);
        Check(SUCCEEDED(hr), std::wstring(i.name) + L": marshalled");
        if (FAILED(hr)) continue;
        HANDLE thread = CreateThread(nullptr, 0, CallFromOtherApartment, &call, 0, nullptr);
        // The call comes back through this apartment's message queue.
        while (MsgWaitForMultipleObjects(1, &thread, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        CloseHandle(thread);
        Check(call.value == LateGet(reinterpret_cast<IDispatch*>(object.Get()), i.property),
              std::wstring(i.name) + L": called from another apartment: " + call.value);
    }
}

}  // namespace

// Usage: regfree_host [proxies]: the classes and the type library, or
// (under Wine, where making a proxy registers the type library, see
// deployment_test.sh) the calls from another apartment.
int wmain(int argc, wchar_t** argv) {
    if (FAILED(CoInitialize(nullptr))) return 2;
    CheckNothingRegistered();
    if (argc > 1 && wcscmp(argv[1], L"proxies") == 0) {
        CheckProxies();
    } else {
        for (const ClassCase& c : kClasses) CheckClass(c);
        CheckTypeLibrary();
    }
    CoUninitialize();
    wprintf(L"%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
