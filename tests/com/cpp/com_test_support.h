// Shared fixture and helpers of the C++ tests that run under Wine: the
// library loaded directly as an in-process client loads it, its objects made
// through its class factory, a leak check after every test, and the VARIANT
// values the tests pass.
#pragma once
#include "com_calls.h"
#include "frame/auto_values.h"
#include "frame/com_object.h"
#include "outside_types.h"

#include <gtest/gtest.h>

// The library DLL an environment variable names (LibraryPath), with the
// hooks of the test build when it is VEMO_HOOKS_DLL.
struct TestDll : LoadedLibrary {
    explicit TestDll(const wchar_t* variable = L"VEMO_DLL") : LoadedLibrary(LibraryPath(variable)) {
        if (std::wstring(variable) != L"VEMO_HOOKS_DLL") return;
        newCollection = Export<decltype(newCollection)>("VemoTestNewCollection");
        startBtnsCounter = Export<decltype(startBtnsCounter)>("VemoTestStartBtnsCounter");
        failAllocation = Export<decltype(failAllocation)>("VemoTestFailAllocation");
        if (!newCollection || !startBtnsCounter || !failAllocation) getClassObject = nullptr;
    }
    // Both class-factory exports (and, for the hooks DLL, every hook).
    bool Loaded() const { return getClassObject && canUnloadNow; }

    ComPtr<IClassFactory> Factory(REFCLSID clsid) {
        ComPtr<IClassFactory> f;
        if (getClassObject) {
            EXPECT_HRESULT_SUCCEEDED(getClassObject(clsid, IID_IClassFactory, f.OutVoid()));
        }
        return f;
    }
    template <class T>
    ComPtr<T> Make(REFCLSID clsid, REFIID iid) {
        ComPtr<T> p;
        if (ComPtr<IClassFactory> f = Factory(clsid)) {
            EXPECT_HRESULT_SUCCEEDED(f->CreateInstance(nullptr, iid, p.OutVoid()));
        }
        return p;
    }
    // A bare keyed collection (the hooks DLL only).
    ComPtr<_Collection> NewCollection() {
        ComPtr<IDispatch> d;
        EXPECT_HRESULT_SUCCEEDED(newCollection(d.Out()));
        ComPtr<_Collection> c;
        if (d) {
            EXPECT_HRESULT_SUCCEEDED(d.As(c, IID__Collection));
        }
        return c;
    }

    HRESULT(STDAPICALLTYPE* newCollection)(IDispatch**) = nullptr;
    HRESULT(STDAPICALLTYPE* startBtnsCounter)(IUnknown*, LONG) = nullptr;
    LONG(STDAPICALLTYPE* failAllocation)(LONG) = nullptr;
};

// A test on one of the DLLs in an initialised single-threaded apartment.
// Once the test and its fixture's members are gone (the check runs in the
// destructor, so objects a fixture holds past TearDown are released first),
// the DLL must be able to unload: no object and no lock left alive.
class LibraryTest : public ::testing::Test {
protected:
    explicit LibraryTest(const wchar_t* variable = L"VEMO_DLL") : dll_(variable) {}
    ~LibraryTest() override {
        if (!initialised_) return;
        if (dll_.Loaded()) {
            EXPECT_EQ(dll_.canUnloadNow(), S_OK) << "an object or lock outlived its test";
        }
        CoUninitialize();
    }
    // A derived SetUp calls this first.
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
        initialised_ = true;
        ASSERT_TRUE(dll_.Loaded()) << "the library or one of its exports is missing";
    }
    template <class T>
    ComPtr<T> Make(REFCLSID clsid, REFIID iid) { return dll_.Make<T>(clsid, iid); }

    TestDll dll_;

private:
    bool initialised_ = false;
};

// VARIANT values for arguments: the product's plain makers (vemo::raw). The
// caller owns what they hold (a text's BSTR; an object's reference is
// borrowed, not added): a vemo::Variant that adopts one clears it.
inline VARIANT Text(const wchar_t* s) { return vemo::raw::Text(SysAllocString(s)); }
using vemo::raw::Bool;
using vemo::raw::Long;
using vemo::raw::Missing;
using vemo::raw::Object;
using vemo::raw::Short;
// A double, or a date.
inline VARIANT Real(double d, VARTYPE type = VT_R8) { return type == VT_DATE ? vemo::raw::Date(d) : vemo::raw::Double(d); }
inline VARIANT Null() { return vemo::raw::Of(VT_NULL); }
// A script variable passed by reference.
inline VARIANT VariantRef(VARIANT* p) { return vemo::raw::Reference(*p, VT_VARIANT); }

// The product's Variant, copyable for arguments kept in tables and passed by
// value: a copy is a VariantCopy.
struct Var : vemo::Variant {
    Var() = default;
    explicit Var(LONG n) : Variant(Long(n)) {}
    explicit Var(const wchar_t* s) : Variant(Variant::Text(s)) {}
    explicit Var(IDispatch* d) : Variant(Object(d)) {}
    static Var Missing() { Var m; *m.Get() = vemo::raw::Missing(); return m; }
    Var(const Var& o) : Variant() { vemo::Check(VariantCopy(Get(), const_cast<VARIANT*>(o.Get()))); }
    Var& operator=(const Var& o) {
        if (this != &o) vemo::Check(VariantCopy(Get(), const_cast<VARIANT*>(o.Get())));
        return *this;
    }
    Var(Var&&) = default;
    Var& operator=(Var&&) = default;
    VARIANT* p() { return Get(); }
};
static_assert(sizeof(Var) == sizeof(VARIANT), "an array of Var is an argument array");

// A value as text ("?" when it does not convert).
inline std::wstring TextOf(const VARIANT* v) {
    vemo::Variant t;
    if (FAILED(VariantChangeType(t.Get(), const_cast<VARIANT*>(v), 0, VT_BSTR))) return L"?";
    return vemo::WideText(V_BSTR(t.Get()));
}
inline std::wstring TextOf(const vemo::Variant& v) { return TextOf(v.Get()); }

// The description of the thread's error information (empty when none).
inline std::wstring ErrorDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Out()) != S_OK || !info) return std::wstring();
    vemo::Bstr text;
    info->GetDescription(text.Out());
    return text.Get() ? text.Get() : L"";
}

// A bare object whose references the tests can count: References() reads 1
// when nobody but the test holds it.
class CountedObject final : public vemo::ScopedComObject<CountedObject, IDispatch> {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
};
