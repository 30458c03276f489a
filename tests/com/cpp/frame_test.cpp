// Class objects, QueryInterface rules, unload accounting and early-bound calls
// through the widl-generated header, on the DLL loaded directly.
#include "com_test_support.h"
#include "VemoFunction_h.h"

#include "fake_dispatch.h"
#include "frame/auto_values.h"
#include "frame/errors.h"
#include "frame/late_bound.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

class FrameTest : public LibraryTest {
protected:
    ComPtr<IClassFactory> Factory(REFCLSID clsid) { return dll_.Factory(clsid); }
};

TEST_F(FrameTest, ClassObjectsOnlyForTheFourClasses) {
    ComPtr<IClassFactory> f;
    EXPECT_EQ(dll_.getClassObject(IID_IDispatch, IID_IClassFactory, f.OutVoid()), CLASS_E_CLASSNOTAVAILABLE);
    for (const CLSID* c : {&CLSID_IniFile, &CLSID_VemoFuns, &CLSID_Btns, &CLSID_Btn}) EXPECT_TRUE(Factory(*c));
}

TEST_F(FrameTest, FactoryRefusesAggregationAndCountsLocks) {
    ComPtr<IClassFactory> f = Factory(CLSID_VemoFuns);
    ComPtr<IUnknown> p;
    EXPECT_EQ(f->CreateInstance(reinterpret_cast<IUnknown*>(f.Get()), IID_IUnknown, p.OutVoid()),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(dll_.canUnloadNow(), S_FALSE);  // the factory itself is alive
    ASSERT_HRESULT_SUCCEEDED(f->LockServer(TRUE));
    f.Reset();
    EXPECT_EQ(dll_.canUnloadNow(), S_FALSE);  // only the lock remains
    ComPtr<IClassFactory> again = Factory(CLSID_VemoFuns);
    ASSERT_HRESULT_SUCCEEDED(again->LockServer(FALSE));
    again.Reset();
    EXPECT_EQ(dll_.canUnloadNow(), S_OK);
}

TEST_F(FrameTest, QueryInterfaceRules) {
    ComPtr<_IniFile> ini = Make<_IniFile>(CLSID_IniFile, IID__IniFile);
    ASSERT_TRUE(ini);
    EXPECT_EQ(dll_.canUnloadNow(), S_FALSE);
    for (const wchar_t* iid : {L"{A8CB2540-E499-11D5-9FA9-00E04C54B3B6}", L"{B7AD0309-C0CB-4506-A74F-93D37EEFD9C7}",
                               L"{00020400-0000-0000-C000-000000000046}", L"{00000000-0000-0000-C000-000000000046}"}) {
        ComPtr<IUnknown> p;
        EXPECT_EQ(ini->QueryInterface(Guid(iid), p.OutVoid()), S_OK) << iid;
    }
    ComPtr<IUnknown> none;
    EXPECT_EQ(ini->QueryInterface(IID__VemoFuns, none.OutVoid()), E_NOINTERFACE);
    EXPECT_FALSE(none);
    ComPtr<ISupportErrorInfo> sei;
    ASSERT_HRESULT_SUCCEEDED(ini.As(sei, IID_ISupportErrorInfo));
    EXPECT_EQ(sei->InterfaceSupportsErrorInfo(IID__IniFile), S_OK);
    EXPECT_EQ(sei->InterfaceSupportsErrorInfo(IID__VemoFuns), S_FALSE);
    // The identity rule: IUnknown is the same pointer whichever way it is asked.
    ComPtr<IUnknown> u1, u2;
    ini->QueryInterface(IID_IUnknown, u1.OutVoid());
    sei->QueryInterface(IID_IUnknown, u2.OutVoid());
    EXPECT_EQ(u1.Get(), u2.Get());
}

TEST_F(FrameTest, EarlyBoundVemoFunsPaths) {
    ComPtr<_VemoFuns> f = Make<_VemoFuns>(CLSID_VemoFuns, IID__VemoFuns);
    ASSERT_TRUE(f);
    char sys[MAX_PATH];
    UINT n = GetSystemDirectoryA(sys, MAX_PATH);
    std::wstring expected(sys, sys + n);
    vemo::Bstr path;
    ASSERT_HRESULT_SUCCEEDED(f->get_WinSysPath(path.Out()));
    EXPECT_EQ(std::wstring(path.Get()), expected + L"\\");
    ASSERT_HRESULT_SUCCEEDED(f->get_AppSystemPath(path.Out()));
    EXPECT_EQ(std::wstring(path.Get()), expected + L"\\System\\");
    ASSERT_HRESULT_SUCCEEDED(f->GetFullPathName(vemo::Bstr(L"C:\\Temp").Get(), path.Out()));
    EXPECT_STREQ(path.Get(), L"C:\\Temp\\");
    // A null BSTR is the empty text.
    ASSERT_HRESULT_SUCCEEDED(f->GetFullPathName(nullptr, path.Out()));
    EXPECT_STREQ(path.Get(), L"\\");
}

TEST_F(FrameTest, LateBoundDefaultsComeFromTheTypeLibrary) {
    ComPtr<IDispatch> d = Make<IDispatch>(CLSID_IniFile, IID_IDispatch);
    ASSERT_TRUE(d);
    // The default member (DISPID 0) reads and writes IniFileName.
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    vemo::Variant r;
    ASSERT_HRESULT_SUCCEEDED(d->Invoke(0, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, r.Get(), nullptr, nullptr));
    ASSERT_EQ(r.Type(), VT_BSTR);
    EXPECT_STREQ(V_BSTR(r.Get()), L"DAZSystem.INI");
    vemo::Variant arg;
    *arg.Get() = Text(L"Other.INI");
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS p = {arg.Get(), &put, 1, 1};
    ASSERT_HRESULT_SUCCEEDED(d->Invoke(0, IID_NULL, 0, DISPATCH_PROPERTYPUT, &p, nullptr, nullptr, nullptr));
    ASSERT_HRESULT_SUCCEEDED(d->Invoke(0, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, r.Out(), nullptr, nullptr));
    EXPECT_STREQ(V_BSTR(r.Get()), L"Other.INI");

    LPOLESTR bad = const_cast<LPOLESTR>(L"NoSuchMember");
    DISPID id = 0;
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, &bad, 1, 0, &id), DISP_E_UNKNOWNNAME);
    LPOLESTR getSet = const_cast<LPOLESTR>(L"GetSet");
    ASSERT_HRESULT_SUCCEEDED(d->GetIDsOfNames(IID_NULL, &getSet, 1, 0, &id));
    EXPECT_EQ(id, 0x60030002);
    EXPECT_EQ(d->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, r.Out(), nullptr, nullptr), DISP_E_BADPARAMCOUNT);
}

// A class of this process only (CoRegisterClassObject) that hands out one
// scripted object, or fails every creation with `failure`.
class ProcessClass : public vemo::ScopedComObject<ProcessClass, IClassFactory> {
public:
    explicit ProcessClass(const CLSID& clsid) : clsid_(clsid) {
        EXPECT_HRESULT_SUCCEEDED(
            CoRegisterClassObject(clsid_, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_));
    }
    ~ProcessClass() { Revoke(); }
    void Revoke() {
        if (cookie_) CoRevokeClassObject(cookie_);
        cookie_ = 0;
    }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override {
        ++made;
        *out = nullptr;
        return FAILED(failure) ? failure : object.QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

    int made = 0;
    HRESULT failure = S_OK;
    FakeObject object;

private:
    CLSID clsid_;
    DWORD cookie_ = 0;
};

// CreateObject keeps a ProgID's CLSID once a creation through it worked; a
// creation through a kept CLSID that fails looks the ProgID up once more.
TEST_F(FrameTest, CreateObjectKeepsTheClassOfAProgIdUntilItFails) {
    const wchar_t kProgId[] = L"VemoTest.KeptClass";
    const CLSID kFirst = {0x5d0e6a10, 0x1c2b, 0x4e55, {0x9a, 0x31, 0x6e, 0x20, 0x11, 0x7c, 0x42, 0x01}};
    const CLSID kSecond = {0x5d0e6a10, 0x1c2b, 0x4e55, {0x9a, 0x31, 0x6e, 0x20, 0x11, 0x7c, 0x42, 0x02}};
    auto pointAt = [&](const CLSID* clsid) {
        std::wstring key = std::wstring(kProgId) + L"\\CLSID";
        if (!clsid) {
            RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
            RegDeleteKeyW(HKEY_CLASSES_ROOT, kProgId);
            return;
        }
        wchar_t text[40];
        StringFromGUID2(*clsid, text, 40);
        ASSERT_EQ(RegSetValueW(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, text, 0), ERROR_SUCCESS);
    };
    auto create = [&] { return vemo::Guarded([&] { vemo::CreateObject(kProgId); }); };

    ProcessClass first(kFirst), second(kSecond);
    pointAt(&kFirst);
    EXPECT_HRESULT_SUCCEEDED(create());
    EXPECT_HRESULT_SUCCEEDED(create());
    EXPECT_EQ(first.made, 2);
    // Re-pointed while the kept class fails: the second lookup finds the new one.
    pointAt(&kSecond);
    first.failure = CO_E_SERVER_STOPPING;
    EXPECT_HRESULT_SUCCEEDED(create());
    EXPECT_EQ(first.made, 3);
    EXPECT_EQ(second.made, 1);
    first.Revoke();
    EXPECT_HRESULT_SUCCEEDED(create());
    EXPECT_EQ(second.made, 2) << "the new class is the kept one now";
    // A failing kept class that the ProgID still names is tried once, and its error raised.
    second.failure = E_ACCESSDENIED;
    EXPECT_EQ(create(), E_ACCESSDENIED);
    EXPECT_EQ(second.made, 3);
    second.failure = S_OK;
    EXPECT_HRESULT_SUCCEEDED(create());
    // A ProgID gone from the registry: nothing kept creates anything.
    second.failure = REGDB_E_CLASSNOTREG;
    pointAt(nullptr);
    EXPECT_HRESULT_FAILED(create());
    EXPECT_EQ(second.made, 5);
    second.failure = S_OK;
    EXPECT_HRESULT_FAILED(create()) << "the failed mapping was dropped";
    EXPECT_EQ(second.made, 5);
}

TEST_F(FrameTest, GeneratePwdReturnsSixtyFourBytesFromOne) {
    ComPtr<_VemoFuns> f = Make<_VemoFuns>(CLSID_VemoFuns, IID__VemoFuns);
    ASSERT_TRUE(f);
    vemo::Bstr empty(L"");
    vemo::Variant r;
    ASSERT_HRESULT_SUCCEEDED(f->GeneratePwd(empty.Get(), empty.Get(), 0, r.Get()));
    ASSERT_EQ(r.Type(), VT_ARRAY | VT_UI1);
    SAFEARRAY* bytes = V_ARRAY(r.Get());
    LONG lo = 0, hi = 0;
    SafeArrayGetLBound(bytes, 1, &lo);
    SafeArrayGetUBound(bytes, 1, &hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 64);
    for (LONG i = 1; i <= 64; ++i) {
        BYTE b = 0;
        SafeArrayGetElement(bytes, &i, &b);
        EXPECT_EQ(b, i % 2 ? 0 : 255) << i;  // user number 0: 0, 255, 0, 255, ...
    }
    // The user number changes every byte by the same exclusive-or.
    ASSERT_HRESULT_SUCCEEDED(f->GeneratePwd(empty.Get(), empty.Get(), 1, r.Out()));
    BYTE first = 0;
    LONG one = 1;
    SafeArrayGetElement(V_ARRAY(r.Get()), &one, &first);
    EXPECT_EQ(first, 1);
}

// What VB shows of a raised error (Err.Number, Err.Source, Err.Description),
// early bound from the thread's IErrorInfo, with the interface it names, and
// late bound from the EXCEPINFO that Invoke fills in from it.
TEST_F(FrameTest, RaisedErrorsCarryNumberSourceInterfaceAndDescription) {
    const std::wstring notSet = L"Object variable or With block variable not set";
    struct Case {
        const CLSID* clsid;
        const IID* iid;
        std::function<HRESULT(IUnknown*)> early;
        const wchar_t* member;                      // the same call late bound,
        std::function<std::vector<VARIANT>()> args;  // with these arguments (first to last)
        HRESULT hr;
        const wchar_t* source;
        const IID* guid;
        std::wstring description;
    };
    const Case cases[] = {
        {&CLSID_VemoFuns, &IID__VemoFuns,
         [](IUnknown* u) { IDispatch* none = nullptr; return static_cast<_VemoFuns*>(static_cast<void*>(u))->CenterForm(&none); },
         L"CenterForm", [&] { return std::vector<VARIANT>{Object(nullptr)}; },
         static_cast<HRESULT>(0x800A005B), L"VemoFunction.VemoFuns", &IID__VemoFuns, notSet},
        {&CLSID_VemoFuns, &IID__VemoFuns,
         [](IUnknown* u) {
             IDispatch* none = nullptr;
             vemo::Bstr row;
             return static_cast<_VemoFuns*>(static_cast<void*>(u))->MergeRowData(&none, 1, nullptr, row.Out());
         },
         L"MergeRowData", [&] { return std::vector<VARIANT>{Object(nullptr), Long(1), Text(L"a")}; },
         static_cast<HRESULT>(0x800A005B), L"VemoFunction.VemoFuns", &IID__VemoFuns, notSet},
        // Btns passes on what its collection raised.
        {&CLSID_Btns, &IID__Btns,
         [](IUnknown* u) {
             VARIANT key = Long(3);
             return static_cast<_Btns*>(static_cast<void*>(u))->Remove(&key);
         },
         L"Remove", [&] { return std::vector<VARIANT>{Long(3)}; },
         static_cast<HRESULT>(0x800A0009), L"VemoFunction.Collection", &IID__Collection, L"Subscript out of range"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        ComPtr<IUnknown> object = Make<IUnknown>(*c.clsid, *c.iid);
        ASSERT_TRUE(object);
        SetErrorInfo(0, nullptr);
        EXPECT_EQ(c.early(object.Get()), c.hr);
        ComPtr<IErrorInfo> info;
        ASSERT_EQ(GetErrorInfo(0, info.Out()), S_OK);
        vemo::Bstr source, description;
        GUID guid = GUID_NULL;
        info->GetSource(source.Out());
        info->GetDescription(description.Out());
        info->GetGUID(&guid);
        EXPECT_STREQ(source.Get(), c.source);
        EXPECT_EQ(std::wstring(description.Get() ? description.Get() : L""), c.description);
        EXPECT_TRUE(IsEqualGUID(guid, *c.guid));

        ComPtr<IDispatch> d;
        ASSERT_HRESULT_SUCCEEDED(object.As(d, IID_IDispatch));
        LPOLESTR name = const_cast<LPOLESTR>(c.member);
        DISPID id = 0;
        ASSERT_HRESULT_SUCCEEDED(d->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
        std::vector<VARIANT> args = c.args();
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS p = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        vemo::Variant result;
        vemo::ExcepInfo excep;
        EXPECT_EQ(d->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &p, result.Get(), excep.Get(), nullptr),
                  DISP_E_EXCEPTION);
        const EXCEPINFO& e = excep.Filled();
        EXPECT_EQ(e.scode, c.hr);
        EXPECT_STREQ(e.bstrSource, c.source);
        EXPECT_EQ(std::wstring(e.bstrDescription ? e.bstrDescription : L""), c.description);
        for (VARIANT& v : args) VariantClear(&v);
    }
}

// Every allocation of a call made to fail in turn (in the test build's DLL,
// whose C++ runtime fails the n-th operator new on demand): the call then
// answers "Out of memory", raised as an automation error, or trapped into
// its neutral result; it never lets bad_alloc out, and leaves no object
// behind.
TEST_F(FrameTest, EveryFailedAllocationIsAnOutOfMemoryError) {
    TestDll hooks(L"VEMO_HOOKS_DLL");
    ASSERT_TRUE(hooks.Loaded());
    // Each step creates what it calls; it returns the first failure (the
    // exception's code where Invoke reports one).
    auto late = [](IDispatch* d, const wchar_t* name, std::vector<VARIANT> args) -> HRESULT {
        LPOLESTR n = const_cast<LPOLESTR>(name);
        DISPID id = 0;
        HRESULT hr = d->GetIDsOfNames(IID_NULL, &n, 1, 0, &id);
        if (FAILED(hr)) return hr;
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS p = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        vemo::Variant result;
        vemo::ExcepInfo excep;
        hr = d->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &p, result.Get(), excep.Get(), nullptr);
        return hr == DISP_E_EXCEPTION ? excep.Filled().scode : hr;
    };
    auto make = [&](REFCLSID clsid, ComPtr<IDispatch>& out) {
        ComPtr<IClassFactory> f;
        HRESULT hr = hooks.getClassObject(clsid, IID_IClassFactory, f.OutVoid());
        return SUCCEEDED(hr) ? f->CreateInstance(nullptr, IID_IDispatch, out.OutVoid()) : hr;
    };
    const std::pair<const char*, std::function<HRESULT()>> steps[] = {
        {"every class created", [&] {
             for (const CLSID* c : {&CLSID_IniFile, &CLSID_VemoFuns, &CLSID_Btns, &CLSID_Btn}) {
                 ComPtr<IDispatch> d;
                 HRESULT hr = make(*c, d);
                 if (FAILED(hr)) return hr;
                 ComPtr<ITypeInfo> info;
                 if (FAILED(hr = d->GetTypeInfo(0, 0, info.Out()))) return hr;
             }
             return S_OK;
         }},
        {"VemoFuns text members", [&] {
             ComPtr<IDispatch> f;
             HRESULT hr = make(CLSID_VemoFuns, f);
             vemo::Variant s, n;
             *s.Get() = Text(L"A|B9|C");
             *n.Get() = Text(L"B9");
             VARIANT ref = VariantRef(s.Get());
             if (SUCCEEDED(hr)) hr = late(f.Get(), L"GetString", {*s.Get(), Long(2)});
             if (SUCCEEDED(hr)) hr = late(f.Get(), L"CNulls", {ref});
             if (SUCCEEDED(hr)) hr = late(f.Get(), L"AddStrNum", {*n.Get()});
             if (SUCCEEDED(hr)) hr = late(f.Get(), L"MakeComString", {*s.Get(), Long(1)});
             return hr;
         }},
        {"Btns added to and enumerated", [&] {
             ComPtr<IDispatch> b;
             HRESULT hr = make(CLSID_Btns, b);
             vemo::Variant f, t;
             *f.Get() = Text(L"f.bmp");
             *t.Get() = Text(L"tip");
             for (int i = 0; i < 3 && SUCCEEDED(hr); ++i)
                 hr = late(b.Get(), L"Add", {*f.Get(), *f.Get(), *t.Get(), Long(1), Long(i), Long(i), Long(0)});
             if (SUCCEEDED(hr)) hr = late(b.Get(), L"Item", {Long(2)});
             vemo::Variant items;
             vemo::ExcepInfo excep;
             DISPPARAMS none = {};
             if (SUCCEEDED(hr))
                 hr = b->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, items.Get(), excep.Get(), nullptr);
             if (hr == DISP_E_EXCEPTION) hr = excep.Filled().scode;
             ComPtr<IEnumVARIANT> e;
             if (SUCCEEDED(hr)) hr = V_UNKNOWN(items.Get())->QueryInterface(IID_IEnumVARIANT, e.OutVoid());
             VARIANT got[3];
             ULONG fetched = 0;
             if (SUCCEEDED(hr)) hr = e->Next(3, got, &fetched);
             for (ULONG i = 0; i < fetched; ++i) VariantClear(&got[i]);
             return hr;
         }},
        {"a keyed collection", [&] {
             ComPtr<IDispatch> c;
             HRESULT hr = hooks.newCollection(c.Out());
             vemo::Variant key;
             *key.Get() = Text(L"Key");
             if (SUCCEEDED(hr)) hr = late(c.Get(), L"Add", {Long(1), *key.Get()});
             if (SUCCEEDED(hr)) hr = late(c.Get(), L"Item", {*key.Get()});
             return hr;
         }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.first);
        for (LONG n = 1;; ++n) {
            ASSERT_LT(n, 5000) << "the step never finished";
            hooks.failAllocation(n);
            const HRESULT hr = step.second();
            const bool failed = hooks.failAllocation(0) == 0;
            EXPECT_EQ(hooks.canUnloadNow(), S_OK) << "allocation " << n;
            if (!failed) {
                EXPECT_HRESULT_SUCCEEDED(hr);
                break;
            }
            EXPECT_TRUE(SUCCEEDED(hr) || hr == E_OUTOFMEMORY || hr == static_cast<HRESULT>(0x800A0007))
                << "allocation " << n << ": 0x" << std::hex << hr;
        }
    }
}

}  // namespace
