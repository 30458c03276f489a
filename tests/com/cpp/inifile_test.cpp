// IniFile settings members called early-bound, the way compiled clients
// call them, with the returned dictionary used through its vtable.
#include "com_test_support.h"
#include "VemoFunction_h.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

class IniFileTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        ini_ = Make<_IniFile>(CLSID_IniFile, IID__IniFile);
        ASSERT_TRUE(ini_);
        std::wstring name = L"early-" + std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_HRESULT_SUCCEEDED(ini_->put_IniFileName(vemo::Bstr(name.c_str()).Get()));
    }
    void TearDown() override {
        ini_.Reset();
        CoFreeUnusedLibraries();
    }
    void Save(const wchar_t* section, const wchar_t* key, VARIANT value) {
        vemo::Bstr s(section), k(key);
        VARIANT_BOOL r = VARIANT_TRUE;
        EXPECT_HRESULT_SUCCEEDED(ini_->SaveSet(s.InOut(), k.InOut(), &value, &r));
        EXPECT_EQ(r, VARIANT_FALSE);
    }

    ComPtr<_IniFile> ini_;
};

TEST_F(IniFileTest, LeftOutDefaultIsTheEmptyText) {
    vemo::Bstr k(L"k");
    vemo::Variant out;
    ASSERT_HRESULT_SUCCEEDED(ini_->GetSet(vemo::Bstr(L"Nowhere").Get(), k.InOut(), nullptr, out.Get()));
    EXPECT_EQ(out.Type(), VT_BSTR);
    EXPECT_EQ(SysStringLen(V_BSTR(out.Get())), 0u);
}

TEST_F(IniFileTest, SectionDictionaryThroughItsVtable) {
    VARIANT v = Short(5);
    Save(L"Sec", L"second", v);
    v = Bool(true);
    Save(L"Sec", L"first", v);
    Save(L"Sec", L"second", v);  // replaced in place: order kept

    ComPtr<IPyxDictionary> d;
    ASSERT_HRESULT_SUCCEEDED(ini_->GetAllSetToDict(vemo::Bstr(L" Sec ").Get(), d.Out()));
    ASSERT_TRUE(d);
    LONG n = 0;
    ASSERT_HRESULT_SUCCEEDED(d->get_EntryCount(&n));
    EXPECT_EQ(n, 2);
    vemo::Bstr key;
    ASSERT_HRESULT_SUCCEEDED(d->KeyAt(1, key.Out()));
    EXPECT_STREQ(key.Get(), L"second");
    vemo::Variant value;
    ASSERT_HRESULT_SUCCEEDED(d->ValueOf(key.Get(), value.Get()));
    EXPECT_EQ(value.Type(), VT_BOOL);
    // A numeric default turns the stored Boolean into a number.
    ASSERT_HRESULT_SUCCEEDED(d->Lookup(vemo::Bstr(L"first").Get(), Long(0), value.Out()));
    EXPECT_EQ(value.Type(), VT_I4);
    EXPECT_EQ(V_I4(value.Get()), -1);
}

TEST_F(IniFileTest, MissingSectionGivesNothing) {
    IPyxDictionary* d = reinterpret_cast<IPyxDictionary*>(1);
    ASSERT_HRESULT_SUCCEEDED(ini_->GetAllSetToDict(vemo::Bstr(L"NoSuchSection").Get(), &d));
    EXPECT_EQ(d, nullptr);
}

}  // namespace

namespace {

// A late-bound call by name on a host component (arguments last first).
HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* args, UINT count, VARIANT* result) {
    DISPID id = 0;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    HRESULT hr = object->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    DISPPARAMS params = {args, nullptr, count, 0};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

ComPtr<IDispatch> HostObject(const wchar_t* progId) {
    CLSID clsid;
    ComPtr<IDispatch> d;
    if (SUCCEEDED(CLSIDFromProgID(progId, &clsid)))
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, d.OutVoid());
    return d;
}

void SetLogin(IDispatch* props, const wchar_t* text) {
    VARIANT args[3] = {Text(text), Text(L"PropsString"), Long(static_cast<LONG>(GetCurrentProcessId()))};
    vemo::Variant r;
    EXPECT_HRESULT_SUCCEEDED(CallByName(props, L"SetProperty", DISPATCH_METHOD, args, 3, r.Get()));
    for (VARIANT& a : args) VariantClear(&a);
}

}  // namespace

// Letters beyond one code page, a surrogate pair and an embedded zero reach
// the data-access component whole; its failure to connect (no such driver)
// comes back as raised, with no recordset.
TEST_F(IniFileTest, ExecuteSqlPassesTheTextWholeAndRaisesTheComponentsError) {
    ComPtr<IDispatch> props = HostObject(L"Trellis.ShareProps");
    ComPtr<IDispatch> data = HostObject(L"Tally.GetData");
    if (!props || !data) GTEST_SKIP() << "needs the test host's components";
    SetLogin(props.Get(), L"Driver={No Such Driver Here};");
    const wchar_t text[] = L"SELECT '\u4E2D\u6587 \u20AC \U0001F600' \0 -- tail";
    const UINT length = sizeof text / sizeof text[0] - 1;
    vemo::Bstr sql(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
    _Recordset* rs = reinterpret_cast<_Recordset*>(1);
    HRESULT hr = ini_->ExecuteSQL(sql.Get(), &rs);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(rs, nullptr);
    vemo::Variant last, live;
    ASSERT_HRESULT_SUCCEEDED(CallByName(data.Get(), L"LastSql", DISPATCH_PROPERTYGET, nullptr, 0, last.Get()));
    ASSERT_EQ(last.Type(), VT_BSTR);
    EXPECT_EQ(TextOf(last), std::wstring(text, length));
    ASSERT_HRESULT_SUCCEEDED(CallByName(data.Get(), L"LiveInstances", DISPATCH_PROPERTYGET, nullptr, 0, live.Get()));
    EXPECT_EQ(V_I4(live.Get()), 1) << "the call's own component is released after the failure";
    // The settings of the same object are untouched and still work.
    vemo::Bstr name;
    EXPECT_HRESULT_SUCCEEDED(ini_->get_IniFileName(name.Out()));
    EXPECT_EQ(std::wstring(name.Get()).rfind(L"early-", 0), 0u);
    SetLogin(props.Get(), L"");
}

namespace {

// Sees every task-allocator block (BSTRs too, with the string cache off:
// OANOCACHE) and counts frees of blocks it has already seen freed.
class FreeSpy : public vemo::ScopedComObject<FreeSpy, IMallocSpy> {
public:
    std::set<void*> live, freed;
    int frees = 0, twice = 0;
    STDMETHODIMP_(SIZE_T) PreAlloc(SIZE_T n) override { return n; }
    STDMETHODIMP_(void*) PostAlloc(void* p) override {
        live.insert(p);
        freed.erase(p);
        return p;
    }
    STDMETHODIMP_(void*) PreFree(void* p, BOOL) override {
        ++frees;
        if (live.erase(p)) freed.insert(p);
        else if (freed.count(p)) ++twice;
        return p;
    }
    STDMETHODIMP_(void) PostFree(BOOL) override {}
    STDMETHODIMP_(SIZE_T) PreRealloc(void* p, SIZE_T n, void** np, BOOL) override {
        live.erase(p);
        *np = p;
        return n;
    }
    STDMETHODIMP_(void*) PostRealloc(void* p, BOOL) override { if (p) live.insert(p); return p; }
    STDMETHODIMP_(void*) PreGetSize(void* p, BOOL) override { return p; }
    STDMETHODIMP_(SIZE_T) PostGetSize(SIZE_T n, BOOL) override { return n; }
    STDMETHODIMP_(void*) PreDidAlloc(void* p, BOOL) override { return p; }
    STDMETHODIMP_(int) PostDidAlloc(void*, BOOL, int r) override { return r; }
    STDMETHODIMP_(void) PreHeapMinimize() override {}
    STDMETHODIMP_(void) PostHeapMinimize() override {}
};

// Host components that free a by-reference text and put another in its
// place (the profile's Load and Save, the shared properties' GetProperty,
// the data component's ExecuteSQL): each text is freed once.
TEST_F(IniFileTest, ComponentsReplacingByReferenceTextsFreeEachTextOnce) {
    ComPtr<IDispatch> props = HostObject(L"Trellis.ShareProps");
    if (!props) GTEST_SKIP() << "needs the test host's components";
    ASSERT_TRUE(GetEnvironmentVariableW(L"OANOCACHE", nullptr, 0)) << "the string cache hides double frees";
    SetLogin(props.Get(), L"Driver={No Such Driver Here};");
    static FreeSpy spy;  // outlives blocks still out when it is revoked
    ASSERT_HRESULT_SUCCEEDED(CoRegisterMallocSpy(&spy));
    SetEnvironmentVariableW(L"TESTHOST_WRITE_BACK", L"1");
    Save(L"Back", L"k", Long(41));
    {
        vemo::Bstr k(L"k");
        vemo::Variant out;
        EXPECT_HRESULT_SUCCEEDED(ini_->GetSet(vemo::Bstr(L"Back").Get(), k.InOut(), nullptr, out.Get()));
        ASSERT_EQ(out.Type(), VT_BSTR);  // as the default's kind: the empty text
        EXPECT_STREQ(V_BSTR(out.Get()), L"41");
        _Recordset* rs = nullptr;
        EXPECT_TRUE(FAILED(ini_->ExecuteSQL(vemo::Bstr(L"SELECT 1").Get(), &rs)));  // no such driver
    }
    SetEnvironmentVariableW(L"TESTHOST_WRITE_BACK", nullptr);
    CoRevokeMallocSpy();
    EXPECT_GT(spy.frees, 0) << "the spy saw no block";
    EXPECT_EQ(spy.twice, 0) << "a block was freed twice";
    SetLogin(props.Get(), L"");
}

}  // namespace
