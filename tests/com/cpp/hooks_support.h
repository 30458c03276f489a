// The test build's DLL with its hooks (VemoFunctionHooks.dll, named by
// VEMO_HOOKS_DLL), and small VARIANT helpers of the collection tests.
#pragma once
#include "com_test_support.h"
#include "outside_types.h"

#include <gtest/gtest.h>

struct HooksDll {
    HooksDll() {
        wchar_t buf[1024];
        DWORD n = GetEnvironmentVariableW(L"VEMO_HOOKS_DLL", buf, 1024);
        module = LoadLibraryW(n ? buf : L"VemoFunctionHooks.dll");
        if (!module) return;
        newCollection = reinterpret_cast<decltype(newCollection)>(GetProcAddress(module, "VemoTestNewCollection"));
        startBtnsCounter =
            reinterpret_cast<decltype(startBtnsCounter)>(GetProcAddress(module, "VemoTestStartBtnsCounter"));
        failAllocation = reinterpret_cast<decltype(failAllocation)>(GetProcAddress(module, "VemoTestFailAllocation"));
        getClassObject = reinterpret_cast<decltype(getClassObject)>(GetProcAddress(module, "DllGetClassObject"));
        canUnloadNow = reinterpret_cast<decltype(canUnloadNow)>(GetProcAddress(module, "DllCanUnloadNow"));
    }
    bool Loaded() const { return newCollection && startBtnsCounter && failAllocation && getClassObject && canUnloadNow; }

    ComPtr<_Collection> NewCollection() {
        ComPtr<IDispatch> d;
        EXPECT_HRESULT_SUCCEEDED(newCollection(d.Out()));
        ComPtr<_Collection> c;
        if (d) {
            EXPECT_HRESULT_SUCCEEDED(d.As(c, IID__Collection));
        }
        return c;
    }
    template <class T>
    ComPtr<T> Make(REFCLSID clsid, REFIID iid) {
        ComPtr<IClassFactory> f;
        EXPECT_HRESULT_SUCCEEDED(getClassObject(clsid, IID_IClassFactory, f.OutVoid()));
        ComPtr<T> p;
        if (f) {
            EXPECT_HRESULT_SUCCEEDED(f->CreateInstance(nullptr, iid, p.OutVoid()));
        }
        return p;
    }

    HMODULE module = nullptr;
    HRESULT(STDAPICALLTYPE* newCollection)(IDispatch**) = nullptr;
    HRESULT(STDAPICALLTYPE* startBtnsCounter)(IUnknown*, LONG) = nullptr;
    LONG(STDAPICALLTYPE* failAllocation)(LONG) = nullptr;
    HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
};

// An owned VARIANT for test arguments and results.
struct Var {
    VARIANT v;
    Var() { VariantInit(&v); }
    explicit Var(LONG n) { VariantInit(&v); V_VT(&v) = VT_I4; V_I4(&v) = n; }
    explicit Var(const wchar_t* s) { VariantInit(&v); V_VT(&v) = VT_BSTR; V_BSTR(&v) = SysAllocString(s); }
    explicit Var(IDispatch* d) { VariantInit(&v); V_VT(&v) = VT_DISPATCH; V_DISPATCH(&v) = d; if (d) d->AddRef(); }
    static Var Missing() { Var m; V_VT(&m.v) = VT_ERROR; V_ERROR(&m.v) = DISP_E_PARAMNOTFOUND; return m; }
    Var(const Var& o) { VariantInit(&v); VariantCopy(&v, const_cast<VARIANT*>(&o.v)); }
    Var& operator=(const Var& o) { if (this != &o) VariantCopy(&v, const_cast<VARIANT*>(&o.v)); return *this; }
    ~Var() { VariantClear(&v); }
    VARIANT* p() { return &v; }
    std::wstring Text() const { return V_VT(&v) == VT_BSTR ? std::wstring(V_BSTR(&v), SysStringLen(V_BSTR(&v))) : L"?"; }
};

// The description of the thread's error information (empty when none).
inline std::wstring ErrorDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Out()) != S_OK || !info) return std::wstring();
    BSTR text = nullptr;
    info->GetDescription(&text);
    std::wstring result = text ? text : L"";
    SysFreeString(text);
    return result;
}

// A bare object whose references the tests can count.
class CountedObject final : public IDispatch {
public:
    LONG refs = 1;
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }  // lives on the test's stack
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
};
