// Class objects, QueryInterface rules, unload accounting and early-bound calls
// through the widl-generated header, on the DLL loaded directly.
#include "com_test_support.h"
#include "VemoFunction_h.h"

#include <gtest/gtest.h>

namespace {

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
        dll_ = LoadLibraryW(LibraryPath().c_str());
        ASSERT_NE(dll_, nullptr);
        getClassObject_ = reinterpret_cast<decltype(getClassObject_)>(GetProcAddress(dll_, "DllGetClassObject"));
        canUnloadNow_ = reinterpret_cast<decltype(canUnloadNow_)>(GetProcAddress(dll_, "DllCanUnloadNow"));
        ASSERT_NE(getClassObject_, nullptr);
        ASSERT_NE(canUnloadNow_, nullptr);
    }
    void TearDown() override {
        EXPECT_EQ(canUnloadNow_(), S_OK) << "an object or lock outlived its test";
        CoUninitialize();
    }
    ComPtr<IClassFactory> Factory(REFCLSID clsid) {
        ComPtr<IClassFactory> f;
        EXPECT_HRESULT_SUCCEEDED(getClassObject_(clsid, IID_IClassFactory, f.OutVoid()));
        return f;
    }
    template <class T>
    ComPtr<T> Make(REFCLSID clsid, REFIID iid) {
        ComPtr<T> p;
        EXPECT_HRESULT_SUCCEEDED(Factory(clsid)->CreateInstance(nullptr, iid, p.OutVoid()));
        return p;
    }

    HMODULE dll_ = nullptr;
    HRESULT(STDAPICALLTYPE* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* canUnloadNow_)() = nullptr;
};

TEST_F(FrameTest, ClassObjectsOnlyForTheFourClasses) {
    ComPtr<IClassFactory> f;
    EXPECT_EQ(getClassObject_(IID_IDispatch, IID_IClassFactory, f.OutVoid()), CLASS_E_CLASSNOTAVAILABLE);
    for (const CLSID* c : {&CLSID_IniFile, &CLSID_VemoFuns, &CLSID_Btns, &CLSID_Btn}) EXPECT_TRUE(Factory(*c));
}

TEST_F(FrameTest, FactoryRefusesAggregationAndCountsLocks) {
    ComPtr<IClassFactory> f = Factory(CLSID_VemoFuns);
    ComPtr<IUnknown> p;
    EXPECT_EQ(f->CreateInstance(reinterpret_cast<IUnknown*>(f.Get()), IID_IUnknown, p.OutVoid()),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);  // the factory itself is alive
    ASSERT_HRESULT_SUCCEEDED(f->LockServer(TRUE));
    f.Reset();
    EXPECT_EQ(canUnloadNow_(), S_FALSE);  // only the lock remains
    ComPtr<IClassFactory> again = Factory(CLSID_VemoFuns);
    ASSERT_HRESULT_SUCCEEDED(again->LockServer(FALSE));
    again.Reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(FrameTest, QueryInterfaceRules) {
    ComPtr<_IniFile> ini = Make<_IniFile>(CLSID_IniFile, IID__IniFile);
    ASSERT_TRUE(ini);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
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
    BSTR path = nullptr;
    ASSERT_HRESULT_SUCCEEDED(f->get_WinSysPath(&path));
    EXPECT_EQ(std::wstring(path), expected + L"\\");
    SysFreeString(path);
    ASSERT_HRESULT_SUCCEEDED(f->get_AppSystemPath(&path));
    EXPECT_EQ(std::wstring(path), expected + L"\\System\\");
    SysFreeString(path);
    BSTR in = SysAllocString(L"C:\\Temp");
    ASSERT_HRESULT_SUCCEEDED(f->GetFullPathName(in, &path));
    EXPECT_STREQ(path, L"C:\\Temp\\");
    SysFreeString(path);
    SysFreeString(in);
    // A null BSTR is the empty text.
    ASSERT_HRESULT_SUCCEEDED(f->GetFullPathName(nullptr, &path));
    EXPECT_STREQ(path, L"\\");
    SysFreeString(path);
}

TEST_F(FrameTest, LateBoundDefaultsComeFromTheTypeLibrary) {
    ComPtr<IDispatch> d = Make<IDispatch>(CLSID_IniFile, IID_IDispatch);
    ASSERT_TRUE(d);
    // The default member (DISPID 0) reads and writes IniFileName.
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT r;
    VariantInit(&r);
    ASSERT_HRESULT_SUCCEEDED(d->Invoke(0, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &r, nullptr, nullptr));
    ASSERT_EQ(V_VT(&r), VT_BSTR);
    EXPECT_STREQ(V_BSTR(&r), L"DAZSystem.INI");
    VariantClear(&r);
    VARIANT arg;
    V_VT(&arg) = VT_BSTR;
    V_BSTR(&arg) = SysAllocString(L"Other.INI");
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS p = {&arg, &put, 1, 1};
    ASSERT_HRESULT_SUCCEEDED(d->Invoke(0, IID_NULL, 0, DISPATCH_PROPERTYPUT, &p, nullptr, nullptr, nullptr));
    VariantClear(&arg);
    ASSERT_HRESULT_SUCCEEDED(d->Invoke(0, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &r, nullptr, nullptr));
    EXPECT_STREQ(V_BSTR(&r), L"Other.INI");
    VariantClear(&r);

    LPOLESTR bad = const_cast<LPOLESTR>(L"NoSuchMember");
    DISPID id = 0;
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, &bad, 1, 0, &id), DISP_E_UNKNOWNNAME);
    LPOLESTR getSet = const_cast<LPOLESTR>(L"GetSet");
    ASSERT_HRESULT_SUCCEEDED(d->GetIDsOfNames(IID_NULL, &getSet, 1, 0, &id));
    EXPECT_EQ(id, 0x60030002);
    EXPECT_EQ(d->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, &r, nullptr, nullptr), DISP_E_BADPARAMCOUNT);
}

TEST_F(FrameTest, GeneratePwdReturnsSixtyFourBytesFromOne) {
    ComPtr<_VemoFuns> f = Make<_VemoFuns>(CLSID_VemoFuns, IID__VemoFuns);
    ASSERT_TRUE(f);
    BSTR empty = SysAllocString(L"");
    VARIANT r;
    VariantInit(&r);
    ASSERT_HRESULT_SUCCEEDED(f->GeneratePwd(empty, empty, 0, &r));
    ASSERT_EQ(V_VT(&r), VT_ARRAY | VT_UI1);
    LONG lo = 0, hi = 0;
    SafeArrayGetLBound(V_ARRAY(&r), 1, &lo);
    SafeArrayGetUBound(V_ARRAY(&r), 1, &hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 64);
    for (LONG i = 1; i <= 64; ++i) {
        BYTE b = 0;
        SafeArrayGetElement(V_ARRAY(&r), &i, &b);
        EXPECT_EQ(b, i % 2 ? 0 : 255) << i;  // user number 0: 0, 255, 0, 255, ...
    }
    VariantClear(&r);
    // The user number changes every byte by the same exclusive-or.
    ASSERT_HRESULT_SUCCEEDED(f->GeneratePwd(empty, empty, 1, &r));
    BYTE first = 0;
    LONG one = 1;
    SafeArrayGetElement(V_ARRAY(&r), &one, &first);
    EXPECT_EQ(first, 1);
    VariantClear(&r);
    SysFreeString(empty);
}

}  // namespace
