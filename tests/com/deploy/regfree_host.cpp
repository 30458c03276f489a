// A host program for registration-free activation: its manifest (resource 1)
// depends on the private assembly VemoFunction, whose DLL and manifest lie
// beside it; nothing is registered (deployment_test.sh checks the registry).
// Built a second time without the manifest as registered_host, the same
// checks of the classes as an installer registered them (installer_test.sh).
// Without arguments: every class by ProgID and by CLSID (the IDL's), early
// and late bound, and the type library by its identity. With "proxies":
// every dual interface, the older IniFile IIDs too, called from another
// apartment through the manifest's proxy/stub entries.
// Prints a FAIL line per failed check and "N passed, M failed".
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "VemoFunction_h.h"
#include "com_calls.h"
#include "frame/typeinfo.h"

namespace {

int passed = 0, failed = 0;

void Check(bool ok, const std::wstring& what) {
    (ok ? passed : failed)++;
    if (!ok) wprintf(L"FAIL: %ls\n", what.c_str());
}

// A property's value as text, late bound; "?" when the call fails.
std::wstring LateGet(IDispatch* object, const wchar_t* name) {
    VARIANT v;
    VariantInit(&v);
    HRESULT hr = LateCall(object, name, DISPATCH_PROPERTYGET, {}, &v);
    if (SUCCEEDED(hr)) hr = VariantChangeType(&v, &v, 0, VT_BSTR);
    std::wstring text = SUCCEEDED(hr) ? std::wstring(V_BSTR(&v), SysStringLen(V_BSTR(&v))) : L"?";
    VariantClear(&v);
    return text;
}

// The same property through the default interface's vtable.
std::wstring EarlyGet(REFCLSID clsid, IUnknown* u) {
    BSTR b = nullptr;
    long n = -1;
    if (clsid == CLSID_IniFile) static_cast<_IniFile*>(static_cast<void*>(u))->get_IniFileName(&b);
    if (clsid == CLSID_VemoFuns) static_cast<_VemoFuns*>(static_cast<void*>(u))->get_WinSysPath(&b);
    if (clsid == CLSID_Btns) static_cast<_Btns*>(static_cast<void*>(u))->get_Count(&n);
    if (clsid == CLSID_Btn) static_cast<_Btn*>(static_cast<void*>(u))->get_Top(&n);
    std::wstring text = b ? std::wstring(b, SysStringLen(b)) : std::to_wstring(n);
    SysFreeString(b);
    return text;
}

struct Case {
    const wchar_t* progId;
    const CLSID* clsid;
    const wchar_t* iid;       // a dual interface of the class
    const wchar_t* property;  // read through it
};
const Case kCases[] = {
    {L"VemoFunction.IniFile", &CLSID_IniFile, L"{CC289CE1-275D-43BA-A3B7-23E2C0D703D2}", L"IniFileName"},
    {L"VemoFunction.VemoFuns", &CLSID_VemoFuns, L"{A8CB2546-E499-11D5-9FA9-00E04C54B3B6}", L"WinSysPath"},
    {L"VemoFunction.Btns", &CLSID_Btns, L"{A8CB2544-E499-11D5-9FA9-00E04C54B3B6}", L"Count"},
    {L"VemoFunction.Btn", &CLSID_Btn, L"{A8CB2542-E499-11D5-9FA9-00E04C54B3B6}", L"Top"},
    // The older IniFile IIDs: proxies only.
    {nullptr, &CLSID_IniFile, L"{A8CB2540-E499-11D5-9FA9-00E04C54B3B6}", L"IniFileName"},
    {nullptr, &CLSID_IniFile, L"{B7AD0309-C0CB-4506-A74F-93D37EEFD9C7}", L"IniFileName"},
};

void CheckClass(const Case& c) {
    // Wine maps a ProgID to a CLSID of its own making that creates the
    // class, so the object is judged by its interface, not by that CLSID.
    CLSID fromProgId = {};
    Check(SUCCEEDED(CLSIDFromProgID(c.progId, &fromProgId)), std::wstring(c.progId) + L": ProgID found");
    for (const CLSID* clsid : {const_cast<const CLSID*>(&fromProgId), c.clsid}) {
        const std::wstring how = std::wstring(c.progId) + (clsid == c.clsid ? L" by CLSID" : L" by ProgID");
        ComPtr<IDispatch> late;
        ComPtr<IUnknown> early;
        HRESULT hr = CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                      reinterpret_cast<void**>(late.Out()));
        if (SUCCEEDED(hr)) hr = late->QueryInterface(Guid(c.iid), reinterpret_cast<void**>(early.Out()));
        Check(SUCCEEDED(hr), how + L": created, with its interface");
        if (FAILED(hr)) continue;
        const std::wstring value = LateGet(late.Get(), c.property);
        Check(value != L"?" && value == EarlyGet(*c.clsid, early.Get()), how + L": late and early bound: " + value);
        ComPtr<ITypeInfo> info;
        ComPtr<ITypeLib> lib;
        UINT index = 0;
        vemo::LibAttr attr;
        bool ok = SUCCEEDED(late->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Out())) &&
                  SUCCEEDED(info->GetContainingTypeLib(lib.Out(), &index)) &&
                  SUCCEEDED(lib->GetLibAttr(attr.Out(lib.Get()))) && attr->guid == LIBID_VemoFunction;
        Check(ok, how + L": type information from its library");
    }
    ComPtr<ITypeLib> lib;
    ComPtr<ITypeInfo> info;
    Check(SUCCEEDED(LoadRegTypeLib(LIBID_VemoFunction, 1, 2, LOCALE_NEUTRAL, lib.Out())) &&
              SUCCEEDED(lib->GetTypeInfoOfGuid(*c.clsid, info.Out())),
          std::wstring(c.progId) + L": in the type library found by its identity");
}

void CheckProxy(const Case& c) {
    const IID iid = Guid(c.iid);
    ComPtr<IDispatch> object;
    std::wstring value = L"?";
    HRESULT hr = CoCreateInstance(*c.clsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(object.Out()));
    if (SUCCEEDED(hr))
        hr = InOtherApartment(object.Get(), iid, [&](IUnknown* proxy) {
            value = LateGet(static_cast<IDispatch*>(proxy), c.property);
        });
    Check(SUCCEEDED(hr) && value != L"?" && value == LateGet(object.Get(), c.property),
          std::wstring(c.iid) + L" from another apartment: " + value);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (FAILED(CoInitialize(nullptr))) return 2;
    const bool proxies = argc > 1 && wcscmp(argv[1], L"proxies") == 0;
    for (const Case& c : kCases) {
        if (proxies) CheckProxy(c);
        else if (c.progId) CheckClass(c);
    }
    CoUninitialize();
    wprintf(L"%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
