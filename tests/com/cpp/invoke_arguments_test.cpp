// Late-bound calls whose arguments do not fit: refused before the member
// runs, with no reference to the caller's objects left behind.
#include "com_test_support.h"
#include "fake_dispatch.h"
#include "VemoFunction_h.h"

#include <gtest/gtest.h>

namespace {

class InvokeArgumentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
        HMODULE dll = LoadLibraryW(LibraryPath().c_str());
        ASSERT_NE(dll, nullptr);
        auto get = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
            GetProcAddress(dll, "DllGetClassObject"));
        ComPtr<IClassFactory> factory;
        ASSERT_HRESULT_SUCCEEDED(get(CLSID_VemoFuns, IID_IClassFactory, factory.OutVoid()));
        ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID_IDispatch, funs_.OutVoid()));
    }
    void TearDown() override {
        funs_.Reset();
        CoUninitialize();
    }
    DISPID Id(const wchar_t* name) {
        LPOLESTR n = const_cast<LPOLESTR>(name);
        DISPID id = 0;
        EXPECT_HRESULT_SUCCEEDED(funs_->GetIDsOfNames(IID_NULL, &n, 1, 0, &id));
        return id;
    }
    // Arguments first to last; returns Invoke's HRESULT.
    HRESULT Call(const wchar_t* name, std::vector<VARIANT> args, UINT* argErr = nullptr) {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS p = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        VARIANT r;
        VariantInit(&r);
        HRESULT hr = funs_->Invoke(Id(name), IID_NULL, 0, DISPATCH_METHOD, &p, &r, nullptr, argErr);
        VariantClear(&r);
        return hr;
    }
    ComPtr<IDispatch> funs_;
};

VARIANT Object(IDispatch* p) {
    VARIANT v;
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = p;
    return v;
}
VARIANT Long(LONG n) {
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = n;
    return v;
}

TEST_F(InvokeArgumentsTest, AMisfitLaterArgumentLeavesNoReferenceOnAnEarlierObject) {
    FakeObject grid;
    SAFEARRAYBOUND b = {2, 0};
    VARIANT array;
    V_VT(&array) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(&array) = SafeArrayCreate(VT_VARIANT, 1, &b);
    UINT argErr = 99;
    EXPECT_EQ(Call(L"MergeRowData", {Object(&grid), Long(1), array}, &argErr), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0u);  // the last argument, counted from the end
    EXPECT_EQ(grid.References(), 1);
    EXPECT_EQ(grid.Calls().size(), 0u) << "the member must not have run";
    VariantClear(&array);
}

TEST_F(InvokeArgumentsTest, WrongArgumentCountsAreRefusedWithoutKeepingObjects) {
    FakeObject grid;
    EXPECT_EQ(Call(L"MergeRowData", {Object(&grid)}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(L"MergeRowData", {Object(&grid), Long(1), Long(2), Long(3)}), DISP_E_BADPARAMCOUNT);
    VARIANT missing;
    V_VT(&missing) = VT_ERROR;
    V_ERROR(&missing) = DISP_E_PARAMNOTFOUND;
    EXPECT_EQ(Call(L"MergeRowData", {Object(&grid), missing, Long(3)}), DISP_E_PARAMNOTOPTIONAL);
    EXPECT_EQ(grid.References(), 1);
}

TEST_F(InvokeArgumentsTest, AnObjectWithoutTheParameterInterfaceIsRefused) {
    FakeObject notAConnection;
    VARIANT name;
    V_VT(&name) = VT_BSTR;
    V_BSTR(&name) = SysAllocString(L"ICStockBill");
    UINT argErr = 99;
    EXPECT_EQ(Call(L"GetICMaxNum", {name, Object(&notAConnection)}, &argErr), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0u);
    EXPECT_EQ(notAConnection.References(), 1);
    VariantClear(&name);
}

TEST_F(InvokeArgumentsTest, ConvertibleArgumentsStillReachTheMember) {
    // A number for a text parameter and a text for a number are converted.
    VARIANT text;
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = SysAllocString(L"a|b|c");
    VARIANT place;
    V_VT(&place) = VT_BSTR;
    V_BSTR(&place) = SysAllocString(L"2");
    std::vector<VARIANT> args = {text, place};
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS p = {reversed.data(), nullptr, 2, 0};
    VARIANT r;
    VariantInit(&r);
    ASSERT_HRESULT_SUCCEEDED(funs_->Invoke(Id(L"GetString"), IID_NULL, 0, DISPATCH_METHOD, &p, &r, nullptr, nullptr));
    ASSERT_EQ(V_VT(&r), VT_BSTR);
    EXPECT_STREQ(V_BSTR(&r), L"b");
    VariantClear(&r);
    VariantClear(&text);
    VariantClear(&place);
}

TEST_F(InvokeArgumentsTest, CallsThatFitAndCallsThatNeedWorkAlternateOnOneMember) {
    // Exact types go to the type information's Invoke untouched; the rest
    // through conversion, named arguments and defaults; in any order.
    const auto text = [](const wchar_t* s) {
        VARIANT v;
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = SysAllocString(s);
        return v;
    };
    const auto shortInt = [](SHORT n) {
        VARIANT v;
        V_VT(&v) = VT_I2;
        V_I2(&v) = n;
        return v;
    };
    const struct {
        std::vector<VARIANT> args;  // first to last
        DISPID named;               // the last argument's name, or DISPID_UNKNOWN
        const wchar_t* expected;
    } cases[] = {
        {{text(L"a|b|c"), shortInt(2), text(L"|")}, DISPID_UNKNOWN, L"b"},
        {{text(L"a|b|c"), text(L"3")}, DISPID_UNKNOWN, L"c"},
        {{text(L"a|b|c")}, DISPID_UNKNOWN, L"a"},
        {{text(L"a:b"), shortInt(2)}, DISPID_UNKNOWN, L""},
        {{text(L"a:b"), text(L":")}, 2, L"a"},
        {{text(L"a|b|c"), Long(2)}, DISPID_UNKNOWN, L"b"},
        {{text(L"a|b|c"), shortInt(3), text(L"|")}, DISPID_UNKNOWN, L"c"},
    };
    for (const auto& c : cases) {
        std::vector<VARIANT> reversed(c.args.rbegin(), c.args.rend());
        DISPID named = c.named;
        DISPPARAMS p = {reversed.data(), c.named == DISPID_UNKNOWN ? nullptr : &named,
                        static_cast<UINT>(reversed.size()), c.named == DISPID_UNKNOWN ? 0u : 1u};
        VARIANT r;
        VariantInit(&r);
        EXPECT_HRESULT_SUCCEEDED(funs_->Invoke(Id(L"GetString"), IID_NULL, 0, DISPATCH_METHOD, &p, &r, nullptr, nullptr));
        EXPECT_EQ(V_VT(&r), VT_BSTR);
        if (V_VT(&r) == VT_BSTR) EXPECT_STREQ(V_BSTR(&r), c.expected);
        VariantClear(&r);
        for (VARIANT v : c.args) VariantClear(&v);
    }
    // A required parameter given as missing is refused whatever came before.
    FakeObject grid;
    VARIANT missing;
    V_VT(&missing) = VT_ERROR;
    V_ERROR(&missing) = DISP_E_PARAMNOTFOUND;
    VARIANT rowText = text(L"x");
    VARIANT gridRef;
    IDispatch* gridPointer = &grid;
    V_VT(&gridRef) = VT_BYREF | VT_DISPATCH;
    V_DISPATCHREF(&gridRef) = &gridPointer;
    EXPECT_EQ(Call(L"MergeRowData", {gridRef, missing, rowText}), DISP_E_PARAMNOTOPTIONAL);
    EXPECT_EQ(grid.References(), 1);
    VariantClear(&rowText);
}

}  // namespace
