// Double-byte behaviour: run by the suite under LC_ALL=zh_CN.UTF-8, which
// gives the Wine process the Chinese ANSI code page 936.
#include "com_test_support.h"
#include "VemoFunction_h.h"

#include <gtest/gtest.h>

namespace {

class ChineseCodePage : public LibraryTest {
protected:
    void SetUp() override {
        // Only com_tests_zh runs these, under the zh_CN locale that setup
        // generates: any other code page is a broken environment, not a skip.
        ASSERT_EQ(GetACP(), 936u) << "the zh_CN.UTF-8 locale is missing (scripts/setup generates it)";
        LibraryTest::SetUp();
        f_ = Make<_VemoFuns>(CLSID_VemoFuns, IID__VemoFuns);
        ASSERT_TRUE(f_);
    }
    bool Chinese(const wchar_t* text) {
        VARIANT_BOOL r = VARIANT_FALSE;
        EXPECT_HRESULT_SUCCEEDED(f_->ISIncludeChinese(vemo::Bstr(text).Get(), &r));
        return r == VARIANT_TRUE;
    }
    VARTYPE PasswordType(const std::wstring& user) {
        vemo::Variant r;
        EXPECT_HRESULT_SUCCEEDED(f_->GeneratePwd(vemo::Bstr(user.c_str()).Get(), vemo::Bstr(L"").Get(), 24817, r.Get()));
        return r.Type();
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
