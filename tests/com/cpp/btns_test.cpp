// Btns through its vtable and its IDispatch: arguments that are only read,
// the add counter at its limit (through the test build's hook), errors.
#include "com_test_support.h"
#include "frame/late_bound.h"
#include "VemoFunction_h.h"

namespace {

class BtnsTest : public LibraryTest {
protected:
    BtnsTest() : LibraryTest(L"VEMO_HOOKS_DLL") {}
    void SetUp() override {
        LibraryTest::SetUp();
        b_ = Make<_Btns>(CLSID_Btns, IID__Btns);
        ASSERT_TRUE(b_);
    }
    HRESULT Add(ComPtr<_Btn>& out, const wchar_t* tip = L"tip") {
        vemo::Bstr f(L"f"), s(L"s"), t(tip);
        LONG isBtn = 1, left = 2, top = 3, opt = 4;
        return b_->Add(f.InOut(), s.InOut(), t.InOut(), &isBtn, &left, &top, &opt, out.Out());
    }
    LONG Count() {
        LONG n = -1;
        EXPECT_HRESULT_SUCCEEDED(b_->get_Count(&n));
        return n;
    }
    static LONG Id(_Btn* button) {
        LONG id = -1;
        if (button) button->get_ID(&id);
        return id;
    }

    ComPtr<_Btns> b_;
};

TEST_F(BtnsTest, AddReadsItsArgumentsAndNeverWritesThemBack) {
    vemo::Bstr f(L"first.bmp"), s(L"second.bmp"), t(L"Save");
    const BSTR fBefore = f.Get(), sBefore = s.Get(), tBefore = t.Get();
    LONG isBtn = 1, left = -20, top = 30, opt = 7;
    ComPtr<_Btn> button;
    ASSERT_HRESULT_SUCCEEDED(b_->Add(f.InOut(), s.InOut(), t.InOut(), &isBtn, &left, &top, &opt, button.Out()));
    EXPECT_TRUE(f.Get() == fBefore && s.Get() == sBefore && t.Get() == tBefore);
    EXPECT_STREQ(f.Get(), L"first.bmp");
    EXPECT_TRUE(isBtn == 1 && left == -20 && top == 30 && opt == 7);
    vemo::Bstr text;
    button->get_SPicture(text.Out());
    EXPECT_STREQ(text.Get(), L"second.bmp");
    LONG v = 0;
    button->get_Left(&v);
    EXPECT_EQ(v, -20);
    button->get_Opt(&v);
    EXPECT_EQ(v, 7);

    // Late-bound with VT_BYREF arguments: still nothing written back.
    ComPtr<IDispatch> d;
    ASSERT_HRESULT_SUCCEEDED(b_.As(d, IID_IDispatch));
    vemo::Bstr texts[3] = {vemo::Bstr(L"a"), vemo::Bstr(L"b"), vemo::Bstr(L"c")};
    LONG numbers[4] = {5, 6, 7, 8};
    VARIANT args[7];
    for (int i = 0; i < 4; ++i) args[i] = vemo::Arg::LongRef(&numbers[i]).Get();  // reversed: Opt, Top, Left, ISBtn
    for (int i = 0; i < 3; ++i) args[4 + i] = vemo::Arg::TextRef(texts[i]).Get();  // ToolTip, SPicture, FPicture
    DISPPARAMS params = {args, nullptr, 7, 0};
    Var r;
    ASSERT_HRESULT_SUCCEEDED(d->Invoke(0x60030001, IID_NULL, 0, DISPATCH_METHOD, &params, r.p(), nullptr, nullptr));
    EXPECT_EQ(numbers[0] * 1000 + numbers[1] * 100 + numbers[2] * 10 + numbers[3], 5678);
    EXPECT_STREQ(texts[0].Get(), L"a");
    EXPECT_STREQ(texts[2].Get(), L"c");
    ComPtr<_Btn> second;
    ASSERT_EQ(V_VT(r.Get()), VT_DISPATCH);
    ASSERT_HRESULT_SUCCEEDED(V_DISPATCH(r.Get())->QueryInterface(IID__Btn, second.OutVoid()));
    EXPECT_EQ(Id(second.Get()), 1);
    second->get_Top(&v);
    EXPECT_EQ(v, 6);
    button->get_ToolTip(text.Out());
    EXPECT_STREQ(text.Get(), L"Save");
    EXPECT_EQ(b_->Add(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, second.Out()),
              static_cast<HRESULT>(0x800A0005));
    EXPECT_EQ(Count(), 2) << "a refused add leaves the collection as it was";
}

TEST_F(BtnsTest, CounterOverflowKeepsTheButtonAndTheCounter) {
    ASSERT_HRESULT_SUCCEEDED(dll_.startBtnsCounter(b_.Get(), 2147483646));
    ComPtr<_Btn> button;
    ASSERT_HRESULT_SUCCEEDED(Add(button));
    EXPECT_EQ(Id(button.Get()), 2147483646);
    VARIANT_BOOL first = VARIANT_TRUE;
    button->get_BLoad(&first);
    EXPECT_EQ(first, VARIANT_FALSE);

    // The add at 2147483647: the button goes in under its key, then the
    // counter's increment overflows.
    ComPtr<_Btn> last;
    EXPECT_EQ(Add(last, L"last"), static_cast<HRESULT>(0x800A0006));
    EXPECT_FALSE(last);
    EXPECT_EQ(ErrorDescription(), L"Overflow");
    EXPECT_EQ(Count(), 2);
    Var key(L"2147483647");
    ASSERT_HRESULT_SUCCEEDED(b_->get_Item(key.p(), last.Out()));
    EXPECT_EQ(Id(last.Get()), 2147483647);
    vemo::Bstr tip;
    last->get_ToolTip(tip.Out());
    EXPECT_STREQ(tip.Get(), L"last");
    // The counter did not move: the next add reuses that key and is refused.
    ComPtr<_Btn> again;
    EXPECT_EQ(Add(again), static_cast<HRESULT>(0x800A01C9));
    EXPECT_EQ(Count(), 2);
}

TEST_F(BtnsTest, ItemAndRemoveRaiseTheCollectionErrors) {
    ComPtr<_Btn> button;
    ASSERT_HRESULT_SUCCEEDED(Add(button));
    ComPtr<_Btn> found;
    Var zero(0L), key(L"0"), nokey(L"1");
    EXPECT_EQ(b_->get_Item(zero.p(), found.Out()), static_cast<HRESULT>(0x800A0009));
    EXPECT_EQ(ErrorDescription(), L"Subscript out of range");
    EXPECT_EQ(b_->get_Item(nokey.p(), found.Out()), static_cast<HRESULT>(0x800A0005));
    EXPECT_EQ(b_->Remove(nokey.p()), static_cast<HRESULT>(0x800A0005));
    ASSERT_HRESULT_SUCCEEDED(b_->get_Item(key.p(), found.Out()));
    EXPECT_EQ(found.Get(), button.Get()) << "the same object, not a copy";
    ComPtr<IUnknown> e;
    ASSERT_HRESULT_SUCCEEDED(b_->get_NewEnum(e.Out()));
    ComPtr<IEnumVARIANT> en;
    EXPECT_HRESULT_SUCCEEDED(e.As(en, IID_IEnumVARIANT));
    ASSERT_HRESULT_SUCCEEDED(b_->Remove(key.p()));
    EXPECT_EQ(Count(), 0);
    LONG top = 0;
    EXPECT_HRESULT_SUCCEEDED(button->put_Top(5));
    button->get_Top(&top);
    EXPECT_EQ(top, 5) << "a removed button lives on with its holder";
}

// Property gets invoked as methods alone (older script engines, JScript's
// Enumerator, some 4GL clients) are served; a method stays a method.
TEST_F(BtnsTest, PropertyGetsServeDispatchMethodAlone) {
    ComPtr<_Btn> button;
    ASSERT_HRESULT_SUCCEEDED(Add(button));
    struct Case {
        DISPID id;
        VARTYPE arg;  // VT_EMPTY: no argument
        VARTYPE result;
    } cases[] = {{DISPID_NEWENUM, VT_EMPTY, VT_UNKNOWN}, {0x68030000, VT_EMPTY, VT_I4}, {0, VT_I4, VT_DISPATCH}};
    for (const Case& c : cases) {
        VARIANT arg = Long(1);
        vemo::Variant r;
        DISPPARAMS p = {&arg, nullptr, c.arg == VT_EMPTY ? 0u : 1u, 0};
        EXPECT_HRESULT_SUCCEEDED(b_->Invoke(c.id, IID_NULL, 0, DISPATCH_METHOD, &p, r.Get(), nullptr, nullptr)) << c.id;
        EXPECT_EQ(r.Type(), c.result) << c.id;
    }
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(b_->Invoke(0x68030000, IID_NULL, 0, DISPATCH_PROPERTYPUT, &none, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND) << "no put made out of a get";
}

}  // namespace
