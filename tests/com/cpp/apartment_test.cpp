// Every interface of the library called through a proxy from another
// apartment: the four classes and the two older IniFile IIDs, early bound
// through the vtable and late bound through IDispatch, with by-reference
// parameters and a Btns enumeration. The proxies come from the type library
// as registered in the test prefix.
#include "com_test_support.h"
#include "frame/late_bound.h"
#include "VemoFunction_h.h"

#include <gtest/gtest.h>

namespace {

using vemo::Bstr;
using vemo::Variant;

template <class T>
T* As(IUnknown* proxy) {
    return static_cast<T*>(static_cast<void*>(proxy));
}

class ApartmentTest : public LibraryTest {
protected:
    ComPtr<IUnknown> Make(REFCLSID clsid) { return LibraryTest::Make<IUnknown>(clsid, IID_IUnknown); }
};

// IniFile under its current and both older IIDs: the default member written
// and read, and GetSet with its key and default passed by reference. The
// older IIDs are aliases of _IniFile in the type library; Wine 8 builds their
// proxies from the alias, which has no member slots of its own, so there they
// are called late bound (an early-bound call would end at a null slot).
TEST_F(ApartmentTest, IniFileUnderEveryIid) {
    const std::pair<const wchar_t*, bool> iids[] = {{L"{CC289CE1-275D-43BA-A3B7-23E2C0D703D2}", true},
                                                    {L"{A8CB2540-E499-11D5-9FA9-00E04C54B3B6}", false},
                                                    {L"{B7AD0309-C0CB-4506-A74F-93D37EEFD9C7}", false}};
    for (const auto& [iid, early] : iids) {
        SCOPED_TRACE(iid);
        ComPtr<IUnknown> object = Make(CLSID_IniFile);
        ASSERT_TRUE(object);
        std::wstring name, fallback, key;
        ASSERT_HRESULT_SUCCEEDED(InOtherApartment(object.Get(), Guid(iid), [&](IUnknown* proxy) {
            Bstr written(L"Apartment.INI"), read;
            Bstr k(L"NoSuchKey");
            VARIANT def = Text(L"fallback");
            Variant value, result;
            if (early) {
                if (SUCCEEDED(As<_IniFile>(proxy)->put_IniFileName(written.Get())) &&
                    SUCCEEDED(As<_IniFile>(proxy)->get_IniFileName(read.Out())))
                    name = read.Get();
                if (SUCCEEDED(As<_IniFile>(proxy)->GetSet(nullptr, k.InOut(), &def, result.Get()))) {
                    fallback = TextOf(result);
                    key = k.Get();
                }
            } else {
                VARIANT put = vemo::raw::Text(written.Get());
                DISPID named = DISPID_PROPERTYPUT;
                DISPPARAMS p = {&put, &named, 1, 1};
                if (SUCCEEDED(As<IDispatch>(proxy)->Invoke(0, IID_NULL, 0, DISPATCH_PROPERTYPUT, &p, nullptr, nullptr,
                                                           nullptr)) &&
                    SUCCEEDED(LateCall(As<IDispatch>(proxy), L"IniFileName", DISPATCH_PROPERTYGET, {}, value.Get())))
                    name = TextOf(value);
                VARIANT keyRef = vemo::Arg::TextRef(k).Get();
                if (SUCCEEDED(LateCall(As<IDispatch>(proxy), L"GetSet", DISPATCH_METHOD,
                                       {Text(L""), keyRef, VariantRef(&def)}, result.Get()))) {
                    fallback = TextOf(result);
                    key = k.Get();
                }
            }
            VariantClear(&def);
        }));
        EXPECT_EQ(name, L"Apartment.INI");
        EXPECT_EQ(fallback, L"fallback");
        EXPECT_EQ(key, L"NoSuchKey");
    }
}

// VemoFuns: a by-reference text changed early bound, a variable passed by
// reference and a default filled in late bound.
TEST_F(ApartmentTest, VemoFunsByReferenceAndDefaults) {
    ComPtr<IUnknown> object = Make(CLSID_VemoFuns);
    ASSERT_TRUE(object);
    std::wstring next, part, cnull;
    ASSERT_HRESULT_SUCCEEDED(InOtherApartment(object.Get(), IID__VemoFuns, [&](IUnknown* proxy) {
        Bstr text(L"A9");
        Bstr result;
        if (SUCCEEDED(As<_VemoFuns>(proxy)->AddStrNum(text.InOut(), result.Out()))) next = result.Get();
        VARIANT s = Text(L"a|b|c");
        Variant r;
        if (SUCCEEDED(LateCall(As<IDispatch>(proxy), L"GetString", DISPATCH_METHOD, {s, Long(2)}, r.Get())))
            part = TextOf(r);
        // CNulls(variable): the caller's variable arrives by reference.
        Variant got;
        if (SUCCEEDED(LateCall(As<IDispatch>(proxy), L"CNulls", DISPATCH_METHOD, {VariantRef(&s)}, got.Get())) &&
            got.Type() == VT_BSTR)
            cnull = TextOf(got);
        VariantClear(&s);
    }));
    EXPECT_EQ(next, L"A10");
    EXPECT_EQ(part, L"b");
    EXPECT_EQ(cnull, L"a|b|c");
}

// Btns and Btn: buttons added early bound through by-reference parameters,
// then enumerated late bound (the enumerator and its items are proxies too).
TEST_F(ApartmentTest, BtnsAddAndEnumerate) {
    ComPtr<IUnknown> object = Make(CLSID_Btns);
    ASSERT_TRUE(object);
    LONG count = 0;
    std::vector<LONG> tops;
    std::wstring tip;
    ASSERT_HRESULT_SUCCEEDED(InOtherApartment(object.Get(), IID__Btns, [&](IUnknown* proxy) {
        for (LONG top : {10, 20, 30}) {
            Bstr f(L"f.bmp"), s(L"s.bmp"), t(L"tip");
            LONG isBtn = 1, left = 5, opt = 0, at = top;
            ComPtr<_Btn> button;
            if (FAILED(As<_Btns>(proxy)->Add(f.InOut(), s.InOut(), t.InOut(), &isBtn, &left, &at, &opt,
                                              button.Out())))
                return;
        }
        As<_Btns>(proxy)->get_Count(&count);
        Variant items;
        DISPPARAMS none = {};
        if (FAILED(As<IDispatch>(proxy)->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                                 &none, items.Get(), nullptr, nullptr)))
            return;
        ComPtr<IEnumVARIANT> e;
        if (items.Type() != VT_UNKNOWN && items.Type() != VT_DISPATCH) return;
        if (FAILED(V_UNKNOWN(items.Get())->QueryInterface(IID_IEnumVARIANT, e.OutVoid()))) return;
        for (;;) {
            Variant item;
            ULONG fetched = 0;
            if (e->Next(1, item.Get(), &fetched) != S_OK || item.Type() != VT_DISPATCH) break;
            Variant top;
            if (SUCCEEDED(LateCall(V_DISPATCH(item.Get()), L"Top", DISPATCH_PROPERTYGET, {}, top.Get())))
                tops.push_back(V_I4(top.Get()));
            ComPtr<_Btn> button;
            Bstr text;
            if (SUCCEEDED(V_DISPATCH(item.Get())->QueryInterface(IID__Btn, button.OutVoid())) &&
                SUCCEEDED(button->get_ToolTip(text.Out())))
                tip = text.Get();
        }
    }));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(tops, (std::vector<LONG>{10, 20, 30}));
    EXPECT_EQ(tip, L"tip");
}

TEST_F(ApartmentTest, BtnPropertiesEarlyAndLate) {
    ComPtr<IUnknown> object = Make(CLSID_Btn);
    ASSERT_TRUE(object);
    LONG early = 0;
    std::wstring late;
    ASSERT_HRESULT_SUCCEEDED(InOtherApartment(object.Get(), IID__Btn, [&](IUnknown* proxy) {
        As<_Btn>(proxy)->put_Top(7);
        As<_Btn>(proxy)->get_Top(&early);
        VARIANT tip = Text(L"Save");
        DISPID put = DISPID_PROPERTYPUT, id = 0;
        LPOLESTR name = const_cast<LPOLESTR>(L"ToolTip");
        DISPPARAMS p = {&tip, &put, 1, 1};
        if (SUCCEEDED(As<IDispatch>(proxy)->GetIDsOfNames(IID_NULL, &name, 1, 0, &id)) &&
            SUCCEEDED(As<IDispatch>(proxy)->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &p, nullptr, nullptr, nullptr))) {
            Variant r;
            if (SUCCEEDED(LateCall(As<IDispatch>(proxy), L"ToolTip", DISPATCH_PROPERTYGET, {}, r.Get()))) late = TextOf(r);
        }
        VariantClear(&tip);
    }));
    EXPECT_EQ(early, 7);
    EXPECT_EQ(late, L"Save");
}

}  // namespace
