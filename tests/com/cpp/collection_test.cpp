// The keyed collection object on its own, early-bound through its vtable and
// late-bound through its IDispatch, from the test build's DLL.
#include "com_test_support.h"
#include "frame/late_bound.h"

#include <vector>

namespace {

constexpr HRESULT kInvalidArgument = static_cast<HRESULT>(0x800A0005);
constexpr HRESULT kTypeMismatch = static_cast<HRESULT>(0x800A000D);
constexpr HRESULT kSubscript = static_cast<HRESULT>(0x800A0009);
constexpr HRESULT kDuplicateKey = static_cast<HRESULT>(0x800A01C9);

class CollectionTest : public LibraryTest {
protected:
    CollectionTest() : LibraryTest(L"VEMO_HOOKS_DLL") {}
    void SetUp() override {
        LibraryTest::SetUp();
        if (dll_.Loaded()) c_ = dll_.NewCollection();
        ASSERT_TRUE(c_);
    }

    HRESULT Add(Var item, const wchar_t* key = nullptr, Var before = Var::Missing(), Var after = Var::Missing()) {
        Var k = key ? Var(key) : Var::Missing();
        return c_->Add(item.p(), k.p(), before.p(), after.p());
    }
    void AddNumbers(std::initializer_list<LONG> values) {
        for (LONG v : values) {
            wchar_t key[16];
            wsprintfW(key, L"k%ld", v);
            ASSERT_HRESULT_SUCCEEDED(Add(Var(v), key));
        }
    }
    LONG Count() {
        LONG n = -1;
        EXPECT_HRESULT_SUCCEEDED(c_->Count(&n));
        return n;
    }
    // The item the index selects, as a number (-1 when the lookup fails).
    LONG At(Var index) {
        Var r;
        if (FAILED(c_->Item(index.p(), r.p())) || V_VT(r.Get()) != VT_I4) return -1;
        return V_I4(r.Get());
    }
    std::vector<LONG> Contents() {
        std::vector<LONG> all;
        for (LONG i = 1; i <= Count(); ++i) all.push_back(At(Var(i)));
        return all;
    }
    ComPtr<IEnumVARIANT> Enumerator() {
        ComPtr<IUnknown> u;
        EXPECT_HRESULT_SUCCEEDED(c_->_NewEnum(u.Out()));
        ComPtr<IEnumVARIANT> e;
        if (u) {
            EXPECT_HRESULT_SUCCEEDED(u.As(e, IID_IEnumVARIANT));
        }
        return e;
    }
    static std::vector<LONG> Take(IEnumVARIANT* e, ULONG count) {
        std::vector<VARIANT> items(count);
        ULONG fetched = 12345;
        HRESULT hr = e->Next(count, items.data(), &fetched);
        EXPECT_EQ(hr, fetched == count ? S_OK : S_FALSE);
        std::vector<LONG> values;
        for (ULONG i = 0; i < fetched; ++i) {
            values.push_back(V_VT(&items[i]) == VT_I4 ? V_I4(&items[i]) : -1);
            VariantClear(&items[i]);
        }
        return values;
    }

    CountedObject object_;  // outlives c_, released before the leak check
    ComPtr<_Collection> c_;
};

using Values = std::vector<LONG>;

TEST_F(CollectionTest, AddsInOrderAndSelectsByPositionAndKey) {
    EXPECT_EQ(Count(), 0);
    AddNumbers({10, 20, 30});
    ASSERT_HRESULT_SUCCEEDED(Add(Var(40L)));  // no key
    EXPECT_EQ(Contents(), (Values{10, 20, 30, 40}));
    EXPECT_EQ(At(Var(L"k20")), 20);
    EXPECT_EQ(At(Var(L"K20")), 20) << "keys compare without regard to case";
    // Values come back as values, objects as the same object reference.
    CountedObject& object = object_;
    ASSERT_HRESULT_SUCCEEDED(Add(Var(static_cast<IDispatch*>(&object)), L"obj"));
    ASSERT_HRESULT_SUCCEEDED(Add(Var(L"text"), L"str"));
    Var r;
    ASSERT_HRESULT_SUCCEEDED(c_->Item(Var(L"OBJ").p(), r.p()));
    ASSERT_EQ(V_VT(r.Get()), VT_DISPATCH);
    EXPECT_EQ(V_DISPATCH(r.Get()), &object);
    VariantClear(r.p());
    ASSERT_HRESULT_SUCCEEDED(c_->Item(Var(L"str").p(), r.p()));
    EXPECT_EQ(TextOf(r), L"text");
}

TEST_F(CollectionTest, KeysFoldCaseUnderTheUserLocaleOnly) {
    ASSERT_HRESULT_SUCCEEDED(Add(Var(1L), L"\u00C4rger"));  // A diaeresis
    EXPECT_EQ(Add(Var(2L), L"\u00E4RGER"), kDuplicateKey);
    ASSERT_HRESULT_SUCCEEDED(Add(Var(3L), L"\u03A3\u039F"));  // Greek capitals
    EXPECT_EQ(At(Var(L"\u03C3\u03BF")), 3);
    // Not the same key: other letters, a fullwidth form, an accent, Chinese.
    for (const wchar_t* other : {L"Arger", L"\uFF21rger", L"\u4E2D", L"\u4E2E", L""})
        EXPECT_HRESULT_SUCCEEDED(Add(Var(4L), other)) << static_cast<int>(other[0]);
    EXPECT_EQ(Count(), 7);
    EXPECT_EQ(Add(Var(5L), L""), kDuplicateKey) << "the empty text is a key like any other";
}

TEST_F(CollectionTest, DuplicateKeysAndBadKeysRaiseWithDescriptions) {
    AddNumbers({1});
    EXPECT_EQ(Add(Var(2L), L"K1"), kDuplicateKey);
    EXPECT_EQ(ErrorDescription(), L"This key is already associated with an element of this collection");
    EXPECT_EQ(Count(), 1);
    Var numericKey(7L), item(3L), missing = Var::Missing();
    EXPECT_EQ(c_->Add(item.p(), numericKey.p(), missing.p(), missing.p()), kTypeMismatch) << "a key is a text";
    EXPECT_EQ(Count(), 1);
    // A key given by reference is a key all the same.
    Var text(L"byref");
    VARIANT ref = VariantRef(text.p());
    ASSERT_HRESULT_SUCCEEDED(c_->Add(item.p(), &ref, missing.p(), missing.p()));
    EXPECT_EQ(At(Var(L"BYREF")), 3);
}

TEST_F(CollectionTest, InsertsBeforeAndAfterPositionsAndKeys) {
    AddNumbers({1, 2, 3});
    ASSERT_HRESULT_SUCCEEDED(Add(Var(10L), nullptr, Var(1L)));              // before the first
    ASSERT_HRESULT_SUCCEEDED(Add(Var(20L), nullptr, Var::Missing(), Var(4L)));  // after the last
    ASSERT_HRESULT_SUCCEEDED(Add(Var(30L), L"x", Var(L"K2")));              // before key k2
    ASSERT_HRESULT_SUCCEEDED(Add(Var(40L), nullptr, Var::Missing(), Var(L"x")));
    EXPECT_EQ(Contents(), (Values{10, 1, 30, 40, 2, 3, 20}));
    EXPECT_EQ(Add(Var(0L), nullptr, Var(1L), Var(2L)), kInvalidArgument) << "Before and After together";
    EXPECT_EQ(Add(Var(0L), nullptr, Var(8L)), kSubscript);
    EXPECT_EQ(Add(Var(0L), nullptr, Var::Missing(), Var(0L)), kSubscript);
    EXPECT_EQ(Add(Var(0L), nullptr, Var(L"nokey")), kInvalidArgument);
    EXPECT_EQ(Add(Var(0L), L"K3", Var(1L)), kDuplicateKey);
    EXPECT_EQ(Count(), 7) << "failed adds change nothing";
}

TEST_F(CollectionTest, NumericIndexesOfEveryKindSelectByPosition) {
    AddNumbers({1, 2, 3});
    ASSERT_HRESULT_SUCCEEDED(Add(Var(4L), L"2"));  // a key that looks like a number
    auto with = [&](VARTYPE type, auto set) {
        Var x;
        *x.Get() = vemo::raw::Of(type);
        set(*x.Get());
        return At(x);
    };
    EXPECT_EQ(with(VT_I2, [](VARIANT& x) { V_I2(&x) = 2; }), 2);
    EXPECT_EQ(with(VT_UI1, [](VARIANT& x) { V_UI1(&x) = 3; }), 3);
    EXPECT_EQ(with(VT_R4, [](VARIANT& x) { V_R4(&x) = 1.0f; }), 1);
    EXPECT_EQ(with(VT_R8, [](VARIANT& x) { V_R8(&x) = 2.5; }), 2) << "rounds half to even";
    EXPECT_EQ(with(VT_R8, [](VARIANT& x) { V_R8(&x) = 3.5; }), 4);
    EXPECT_EQ(with(VT_CY, [](VARIANT& x) { V_CY(&x).int64 = 30000; }), 3);
    EXPECT_EQ(with(VT_I8, [](VARIANT& x) { V_I8(&x) = 1; }), 1);
    EXPECT_EQ(with(VT_DECIMAL, [](VARIANT& x) { DECIMAL d; VarDecFromI4(4, &d); x = vemo::raw::Decimal(d); }), 4);
    EXPECT_EQ(At(Var(L"2")), 4) << "a text selects by key";
    // By reference: directly and through a VARIANT.
    LONG three = 3;
    VARIANT ref = vemo::Arg::LongRef(&three).Get();
    Var r;
    ASSERT_HRESULT_SUCCEEDED(c_->Item(&ref, r.p()));
    EXPECT_EQ(V_I4(r.Get()), 3);
    EXPECT_EQ(three, 3);
    Var inner(L"k1");
    ref = VariantRef(inner.p());
    ASSERT_HRESULT_SUCCEEDED(c_->Item(&ref, r.p()));
    EXPECT_EQ(V_I4(r.Get()), 1);
    // Out of range and unknown keys.
    for (LONG p : {0L, -1L, 5L}) EXPECT_EQ(c_->Item(Var(p).p(), r.p()), kSubscript) << p;
    EXPECT_EQ(ErrorDescription(), L"Subscript out of range");
    Var huge;
    *huge.Get() = vemo::raw::Double(1e12);
    EXPECT_EQ(c_->Item(huge.p(), r.p()), kSubscript);
    EXPECT_EQ(c_->Item(Var(L"k9").p(), r.p()), kInvalidArgument);
    EXPECT_EQ(ErrorDescription(), L"Invalid procedure call or argument");
    Var null;
    *null.Get() = Null();
    EXPECT_EQ(c_->Item(null.p(), r.p()), kTypeMismatch);
    EXPECT_EQ(c_->Item(Var::Missing().p(), r.p()), kTypeMismatch);
    EXPECT_EQ(c_->Item(nullptr, r.p()), kInvalidArgument);
    EXPECT_EQ(c_->Item(Var(1L).p(), nullptr), E_POINTER);
}

TEST_F(CollectionTest, RemoveByPositionAndKeyFreesTheKeyAndTheReference) {
    CountedObject& object = object_;
    ASSERT_HRESULT_SUCCEEDED(Add(Var(static_cast<IDispatch*>(&object)), L"obj"));
    EXPECT_EQ(object.References(), 2);
    AddNumbers({1, 2, 3});
    ASSERT_HRESULT_SUCCEEDED(c_->Remove(Var(L"OBJ").p()));
    EXPECT_EQ(object.References(), 1) << "the collection's reference is dropped at once";
    ASSERT_HRESULT_SUCCEEDED(c_->Remove(Var(2L).p()));
    EXPECT_EQ(Contents(), (Values{1, 3}));
    EXPECT_EQ(c_->Remove(Var(3L).p()), kSubscript);
    EXPECT_EQ(c_->Remove(Var(L"k2").p()), kInvalidArgument);
    ASSERT_HRESULT_SUCCEEDED(Add(Var(22L), L"K2")) << "a removed key is free again";
    EXPECT_EQ(Contents(), (Values{1, 3, 22}));
    // Releasing the collection releases what it still holds.
    ASSERT_HRESULT_SUCCEEDED(Add(Var(static_cast<IDispatch*>(&object))));
    EXPECT_EQ(object.References(), 2);
    c_.Reset();
    EXPECT_EQ(object.References(), 1);
}

TEST_F(CollectionTest, EnumeratorNextSkipResetAndClone) {
    ComPtr<IEnumVARIANT> empty = Enumerator();
    EXPECT_TRUE(Take(empty.Get(), 3).empty());
    AddNumbers({1, 2, 3, 4, 5});
    ComPtr<IEnumVARIANT> e = Enumerator();
    EXPECT_EQ(Take(e.Get(), 2), (Values{1, 2}));
    ComPtr<IEnumVARIANT> clone;
    ASSERT_HRESULT_SUCCEEDED(e->Clone(clone.Out()));
    EXPECT_EQ(e->Skip(1), S_OK);
    EXPECT_EQ(Take(e.Get(), 5), (Values{4, 5}));
    EXPECT_EQ(Take(clone.Get(), 1), (Values{3})) << "a clone goes on from where it was made";
    EXPECT_EQ(clone->Skip(5), S_FALSE);
    EXPECT_TRUE(Take(clone.Get(), 1).empty());
    ASSERT_HRESULT_SUCCEEDED(e->Reset());
    EXPECT_EQ(Take(e.Get(), 1), (Values{1}));
    // One at a time without a fetched count, as For Each asks.
    VARIANT one;
    ASSERT_EQ(e->Next(1, &one, nullptr), S_OK);
    EXPECT_EQ(V_I4(&one), 2);
    EXPECT_EQ(e->Next(0, nullptr, nullptr), S_OK);
    EXPECT_EQ(e->Next(1, nullptr, nullptr), E_POINTER);
    // An enumerator outlives its collection and still yields what is left.
    c_.Reset();
    EXPECT_EQ(Take(e.Get(), 9), (Values{3, 4, 5}));
}

TEST_F(CollectionTest, EnumerationStaysSafeWhileTheCollectionChanges) {
    AddNumbers({1, 2, 3, 4, 5});
    ComPtr<IEnumVARIANT> e = Enumerator();
    EXPECT_EQ(Take(e.Get(), 2), (Values{1, 2}));
    ASSERT_HRESULT_SUCCEEDED(c_->Remove(Var(L"k2").p()));  // the item just yielded
    ASSERT_HRESULT_SUCCEEDED(c_->Remove(Var(L"k4").p()));  // one not reached yet
    ASSERT_HRESULT_SUCCEEDED(Add(Var(6L)));                // appended
    ASSERT_HRESULT_SUCCEEDED(Add(Var(0L), nullptr, Var(1L)));  // before the point: not seen
    EXPECT_EQ(Take(e.Get(), 9), (Values{3, 5, 6}));
    // Removing every item during a For Each style loop.
    ComPtr<IEnumVARIANT> drain = Enumerator();
    std::vector<LONG> seen;
    VARIANT item;
    while (drain->Next(1, &item, nullptr) == S_OK) {
        seen.push_back(V_I4(&item));
        VariantClear(&item);
        ASSERT_HRESULT_SUCCEEDED(c_->Remove(Var(1L).p()));
    }
    EXPECT_EQ(seen, (Values{0, 1, 3, 5, 6}));
    EXPECT_EQ(Count(), 0);
}

// Late-bound, as script clients call it: names and DISPIDs from the
// collection's own type information, the default member, For Each's
// DISPID_NEWENUM, and errors as exceptions with their descriptions.
TEST_F(CollectionTest, LateBoundThroughIDispatch) {
    ComPtr<IDispatch> d;
    ASSERT_HRESULT_SUCCEEDED(c_.As(d, IID_IDispatch));
    const wchar_t* names[] = {L"Item", L"Add", L"Count", L"Remove", L"_NewEnum"};
    const DISPID expected[] = {0, 1, 2, 3, DISPID_NEWENUM};
    for (int i = 0; i < 5; ++i) {
        DISPID id = 99;
        LPOLESTR name = const_cast<LPOLESTR>(names[i]);
        ASSERT_HRESULT_SUCCEEDED(d->GetIDsOfNames(IID_NULL, &name, 1, 0, &id)) << names[i];
        EXPECT_EQ(id, expected[i]) << names[i];
    }
    // Add 7 under "Seven", with the optional arguments left out.
    Var args[2] = {Var(L"Seven"), Var(7L)};  // reversed
    DISPPARAMS add = {args[0].Get(), nullptr, 2, 0};
    ASSERT_HRESULT_SUCCEEDED(d->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &add, nullptr, nullptr, nullptr));
    // c("SEVEN") and c(1): the default member, as a method or a property get.
    Var key(L"SEVEN");
    DISPPARAMS byKey = {key.p(), nullptr, 1, 0};
    Var r;
    ASSERT_HRESULT_SUCCEEDED(
        d->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &byKey, r.p(), nullptr, nullptr));
    EXPECT_EQ(V_I4(r.Get()), 7);
    Var count;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    ASSERT_HRESULT_SUCCEEDED(d->Invoke(2, IID_NULL, 0, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none, count.p(),
                                       nullptr, nullptr));
    EXPECT_EQ(V_I4(count.Get()), 1);
    // c(2): subscript out of range as an exception with its text.
    Var two(2L);
    DISPPARAMS bad = {two.p(), nullptr, 1, 0};
    vemo::ExcepInfo excep;
    EXPECT_EQ(d->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &bad, r.p(), excep.Get(),
                        nullptr),
              DISP_E_EXCEPTION);
    const EXCEPINFO& ex = excep.Filled();
    EXPECT_EQ(ex.scode, kSubscript);
    EXPECT_EQ(std::wstring(ex.bstrDescription ? ex.bstrDescription : L""), L"Subscript out of range");
    // For Each: DISPID_NEWENUM gives an IEnumVARIANT.
    Var en;
    ASSERT_HRESULT_SUCCEEDED(
        d->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none, en.p(), nullptr, nullptr));
    ASSERT_TRUE(V_VT(en.Get()) == VT_UNKNOWN || V_VT(en.Get()) == VT_DISPATCH);
    ComPtr<IEnumVARIANT> e;
    ASSERT_HRESULT_SUCCEEDED(V_UNKNOWN(en.Get())->QueryInterface(IID_IEnumVARIANT, e.OutVoid()));
    EXPECT_EQ(Take(e.Get(), 2), (Values{7}));
    ComPtr<ISupportErrorInfo> support;
    ASSERT_HRESULT_SUCCEEDED(c_.As(support, IID_ISupportErrorInfo));
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID__Collection), S_OK);
}

}  // namespace
