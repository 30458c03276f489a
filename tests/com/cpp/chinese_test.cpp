// Double-byte behaviour: run by the suite under LC_ALL=zh_CN.UTF-8, which
// gives the Wine process the Chinese ANSI code page 936.
#include "com_test_support.h"
#include "VemoFunction_h.h"

#include <gtest/gtest.h>

namespace {

class ChineseCodePage : public ::testing::Test {
protected:
    void SetUp() override {
        // Only com_tests_zh runs these, under the zh_CN locale that setup
        // generates: any other code page is a broken environment, not a skip.
        ASSERT_EQ(GetACP(), 936u) << "the zh_CN.UTF-8 locale is missing (scripts/setup generates it)";
        ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
        HMODULE dll = LoadLibraryW(LibraryPath().c_str());
        ASSERT_NE(dll, nullptr);
        auto get = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
            GetProcAddress(dll, "DllGetClassObject"));
        ComPtr<IClassFactory> factory;
        ASSERT_HRESULT_SUCCEEDED(get(CLSID_VemoFuns, IID_IClassFactory, factory.OutVoid()));
        ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID__VemoFuns, f_.OutVoid()));
    }
    void TearDown() override {
        f_.Reset();
        CoUninitialize();
    }
    bool Chinese(const wchar_t* text) {
        BSTR s = SysAllocString(text);
        VARIANT_BOOL r = VARIANT_FALSE;
        EXPECT_HRESULT_SUCCEEDED(f_->ISIncludeChinese(s, &r));
        SysFreeString(s);
        return r == VARIANT_TRUE;
    }
    VARTYPE PasswordType(const std::wstring& user) {
        BSTR u = SysAllocString(user.c_str()), p = SysAllocString(L"");
        VARIANT r;
        VariantInit(&r);
        EXPECT_HRESULT_SUCCEEDED(f_->GeneratePwd(u, p, 24817, &r));
        VARTYPE t = V_VT(&r);
        VariantClear(&r);
        SysFreeString(u);
        SysFreeString(p);
        return t;
    }
    ComPtr<_VemoFuns> f_;
};

TEST_F(ChineseCodePage, DoubleByteCharactersAreDetected) {
    EXPECT_TRUE(Chinese(L"abc\u4E2D"));
    EXPECT_TRUE(Chinese(L"\uFF21"));  // a full-width letter
    EXPECT_FALSE(Chinese(L"abc"));
    EXPECT_FALSE(Chinese(L""));
}

TEST_F(ChineseCodePage, PasswordUserNamesCountBytes) {
    EXPECT_EQ(PasswordType(std::wstring(16, L'\u4E2D')), VT_ARRAY | VT_UI1);  // 32 bytes
    EXPECT_EQ(PasswordType(std::wstring(17, L'\u4E2D')), VT_BSTR);            // 34 bytes
}

}  // namespace
