// Late-bound calls whose arguments do not fit: refused before the member
// runs, with no reference to the caller's objects left behind; converted
// arguments, and the script variables that take what a member wrote.
#include "com_test_support.h"
#include "fake_dispatch.h"
#include "frame/late_bound.h"
#include "frame/typeinfo.h"
#include "VemoFunction_h.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>

namespace {

class InvokeArgumentsTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        funs_ = Make<IDispatch>(CLSID_VemoFuns, IID_IDispatch);
        ASSERT_TRUE(funs_);
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
        vemo::Variant r;
        return funs_->Invoke(Id(name), IID_NULL, 0, DISPATCH_METHOD, &p, r.Get(), nullptr, argErr);
    }
    ComPtr<IDispatch> funs_;
};

TEST_F(InvokeArgumentsTest, AMisfitLaterArgumentLeavesNoReferenceOnAnEarlierObject) {
    FakeObject grid;
    SAFEARRAYBOUND b = {2, 0};
    VARIANT array = vemo::raw::Array(SafeArrayCreate(VT_VARIANT, 1, &b), VT_VARIANT);
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
    EXPECT_EQ(Call(L"MergeRowData", {Object(&grid), Missing(), Long(3)}), DISP_E_PARAMNOTOPTIONAL);
    EXPECT_EQ(grid.References(), 1);
}

TEST_F(InvokeArgumentsTest, AnObjectWithoutTheParameterInterfaceIsRefused) {
    FakeObject notAConnection;
    vemo::Variant name;
    *name.Get() = Text(L"ICStockBill");
    UINT argErr = 99;
    EXPECT_EQ(Call(L"GetICMaxNum", {*name.Get(), Object(&notAConnection)}, &argErr), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0u);
    EXPECT_EQ(notAConnection.References(), 1);
}

TEST_F(InvokeArgumentsTest, ConvertibleArgumentsStillReachTheMember) {
    // A number for a text parameter and a text for a number are converted.
    vemo::Variant text, place, r;
    *text.Get() = Text(L"a|b|c");
    *place.Get() = Text(L"2");
    ASSERT_HRESULT_SUCCEEDED(LateCall(funs_.Get(), L"GetString", DISPATCH_METHOD, {*text.Get(), *place.Get()}, r.Get()));
    ASSERT_EQ(r.Type(), VT_BSTR);
    EXPECT_STREQ(V_BSTR(r.Get()), L"b");
}

// How a call came out, in a form that compares: a result that refers to
// memory (anyone's) is an answer of its own.
std::wstring Describe(HRESULT hr, VARIANT& r) {
    std::wstring out = std::to_wstring(static_cast<unsigned long>(hr)) + L":" + std::to_wstring(V_VT(&r)) + L":";
    if (V_VT(&r) & VT_BYREF) return out + L"a reference";
    if (V_VT(&r) & VT_ARRAY) {
        LONG lo = 0, hi = -1;
        SafeArrayGetLBound(V_ARRAY(&r), 1, &lo);
        SafeArrayGetUBound(V_ARRAY(&r), 1, &hi);
        void* data = nullptr;
        if (SUCCEEDED(SafeArrayAccessData(V_ARRAY(&r), &data))) {
            const BYTE* b = static_cast<const BYTE*>(data);
            for (LONG i = 0; i <= hi - lo; ++i) out += std::to_wstring(b[i]) + L",";
            SafeArrayUnaccessData(V_ARRAY(&r));
        }
        return out;
    }
    if (V_VT(&r) == VT_DISPATCH || V_VT(&r) == VT_UNKNOWN) return out + (V_UNKNOWN(&r) ? L"object" : L"Nothing");
    vemo::Variant text;
    if (SUCCEEDED(VariantChangeTypeEx(text.Get(), &r, LOCALE_INVARIANT, 0, VT_BSTR))) out += V_BSTR(text.Get());
    return out;
}

// The switch rows GetFOperateNew reads, in a SQLite file made through the
// test host's ADO. The native driver takes a Unix path: `file` on Wine's Z:
// drive, as VEMO_DLL names the build directory there.
HRESULT MakeSwitches(const std::wstring& file, ComPtr<IDispatch>& connection) {
    if (file.rfind(L"Z:", 0) != 0) return E_UNEXPECTED;
    const vemo::Bstr text((L"Driver=SQLite3;Database=" + file.substr(2) + L";").c_str());
    return vemo::Guarded([&] {
        connection = vemo::CreateObject(L"ADODB.Connection");
        vemo::Call(connection.Get(), L"Open", {vemo::Arg::Text(text.Get())});
        for (const wchar_t* sql : {L"CREATE TABLE ICSwitch (FShortCut TEXT, FOperate INTEGER, FID INTEGER)",
                                   L"INSERT INTO ICSwitch VALUES ('AB', 3, 12), ('NULLID', 5, NULL)"}) {
            const vemo::Bstr statement(sql);
            vemo::Call(connection.Get(), L"Execute", {vemo::Arg::Text(statement.Get())});
        }
    });
}

// A script variable of another type than its by-reference parameter's: the
// member works on a converted copy, and only a change reaches the variable,
// as the parameter's type. GetFOperateNew writes sReturn on a hit; AddStrNum
// only reads str.
TEST_F(InvokeArgumentsTest, AVariableOfAnotherTypeTakesWhatTheMemberWrote) {
    const std::wstring dll = LibraryPath(), file = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"switches.db";
    DeleteFileW(file.c_str());
    ComPtr<IDispatch> cn;
    ASSERT_HRESULT_SUCCEEDED(MakeSwitches(file, cn)) << "the switch rows";
    struct {
        const wchar_t* key;  // GetFOperateNew's; null: AddStrNum
        VARIANT start;       // the variable's value
        const wchar_t* call; // Describe() of the outcome
        const wchar_t* then; // the variable afterwards: its type and text
    } cases[] = {
        {L"AB", vemo::raw::Of(VT_EMPTY), L"0:3:3", L"8:12"},
        {L"AB", Short(5), L"0:3:3", L"8:12"},
        {L"AB", Null(), L"0:3:3", L"8:12"},
        {L"AB", Text(L"x"), L"0:3:3", L"8:12"},
        {L"AB", Short(12), L"0:3:3", L"2:12"},  // the value it was given: no change
        {L"NOPE", Short(5), L"0:3:-1", L"2:5"},
        {L"NULLID", Null(), L"0:3:-1", L"1:"},
        {nullptr, vemo::raw::Of(VT_EMPTY), L"0:8:1", L"0:"},
        {nullptr, Short(41), L"0:8:42", L"2:41"},
        {nullptr, Null(), L"2147614725:0:", L"1:"},  // a Null is no text to read
    };
    for (auto& c : cases) {
        vemo::Variant variable, key, r;
        VariantCopy(variable.Get(), &c.start);
        *key.Get() = Text(c.key ? c.key : L"");
        const HRESULT hr = c.key ? LateCall(funs_.Get(), L"GetFOperateNew", DISPATCH_METHOD,
                                            {*key.Get(), Object(cn.Get()), VariantRef(variable.Get())}, r.Get())
                                 : LateCall(funs_.Get(), L"AddStrNum", DISPATCH_METHOD, {VariantRef(variable.Get())}, r.Get());
        const std::wstring what = std::wstring(c.key ? c.key : L"AddStrNum") + L" from " + Describe(0, c.start);
        EXPECT_EQ(Describe(hr, *r.Get()), c.call) << what;
        EXPECT_EQ(Describe(0, *variable.Get()).substr(2), c.then) << what;
        VariantClear(&c.start);
    }
    cn = nullptr;
    DeleteFileW(file.c_str());
}

// Each argument of each member as a literal, as a script variable (a
// VARIANT by reference) and as a typed reference: all three must come out
// alike. Every member with a by-value parameter is in the table.
TEST_F(InvokeArgumentsTest, CallsThatFitAndCallsThatNeedWorkAlternateOnOneMember) {
    // Exact types go to the type information's Invoke untouched; the rest
    // through conversion, named arguments and defaults; in any order.
    const struct {
        std::vector<VARIANT> args;  // first to last
        DISPID named;               // the last argument's name, or DISPID_UNKNOWN
        const wchar_t* expected;
    } cases[] = {
        {{Text(L"a|b|c"), Short(2), Text(L"|")}, DISPID_UNKNOWN, L"b"},
        {{Text(L"a|b|c"), Text(L"3")}, DISPID_UNKNOWN, L"c"},
        {{Text(L"a|b|c")}, DISPID_UNKNOWN, L"a"},
        {{Text(L"a:b"), Short(2)}, DISPID_UNKNOWN, L""},
        {{Text(L"a:b"), Text(L":")}, 2, L"a"},
        {{Text(L"a|b|c"), Long(2)}, DISPID_UNKNOWN, L"b"},
        {{Text(L"a|b|c"), Short(3), Text(L"|")}, DISPID_UNKNOWN, L"c"},
    };
    for (const auto& c : cases) {
        std::vector<VARIANT> reversed(c.args.rbegin(), c.args.rend());
        DISPID named = c.named;
        DISPPARAMS p = {reversed.data(), c.named == DISPID_UNKNOWN ? nullptr : &named,
                        static_cast<UINT>(reversed.size()), c.named == DISPID_UNKNOWN ? 0u : 1u};
        vemo::Variant r;
        EXPECT_HRESULT_SUCCEEDED(funs_->Invoke(Id(L"GetString"), IID_NULL, 0, DISPATCH_METHOD, &p, r.Get(), nullptr, nullptr));
        EXPECT_EQ(r.Type(), VT_BSTR);
        if (r.Type() == VT_BSTR) {
            EXPECT_STREQ(V_BSTR(r.Get()), c.expected);
        }
        for (VARIANT v : c.args) VariantClear(&v);
    }
    // A required parameter given as missing is refused whatever came before.
    FakeObject grid;
    vemo::Variant rowText;
    *rowText.Get() = Text(L"x");
    VARIANT gridHeld = Object(&grid);
    VARIANT gridRef = vemo::raw::Reference(gridHeld, VT_DISPATCH);
    EXPECT_EQ(Call(L"MergeRowData", {gridRef, Missing(), *rowText.Get()}), DISP_E_PARAMNOTOPTIONAL);
    EXPECT_EQ(grid.References(), 1);
}

TEST_F(InvokeArgumentsTest, VariablesAndTypedReferencesActAsTheirValues) {
    FakeObject grid;
    grid.On(L"UnmergeAll", [](WORD, const std::vector<VARIANT>&, VARIANT*) { return S_OK; });
    grid.On(L"Merge", [](WORD, const std::vector<VARIANT>&, VARIANT*) { return S_OK; });
    grid.Property(L"FixedRows", 0, VT_I4);
    VARIANT nothing = Object(nullptr);
    struct Case {
        const CLSID* cls;
        const wchar_t* member;
        bool put;
        std::vector<VARIANT> args;
    };
    std::vector<Case> table = {
        {&CLSID_VemoFuns, L"ExecCmd", false, {Text(L"")}},
        {&CLSID_VemoFuns, L"SetWindowOnTop", false, {nothing, Bool(true)}},
        {&CLSID_VemoFuns, L"CNulls", false, {Text(L"x")}},
        {&CLSID_VemoFuns, L"CNulls", false, {Long(5), Short(0)}},
        {&CLSID_VemoFuns, L"CNulls", false, {Null(), Real(2.5)}},
        {&CLSID_VemoFuns, L"CNulls", false, {Text(L"  "), Real(45000.5, VT_DATE)}},
        {&CLSID_VemoFuns, L"CNulls", false, {Bool(true)}},
        {&CLSID_VemoFuns, L"MergeRowData", false, {Object(&grid), Long(2), Text(L"A+|B+|C|")}},
        {&CLSID_VemoFuns, L"MergeRowDataV5", false, {nothing, Long(2), Text(L"A|")}},
        {&CLSID_VemoFuns, L"MakeComString", false, {Text(L"abc"), Text(L"xyz")}},
        {&CLSID_VemoFuns, L"GetComString", false, {Text(L"abc")}},
        {&CLSID_VemoFuns, L"GeneratePwd", false, {Text(L"user"), Text(L"pw"), Short(7)}},
        {&CLSID_VemoFuns, L"GetICMaxNum", false, {Text(L"t_Item"), nothing}},
        {&CLSID_VemoFuns, L"GetFOperate", false, {Text(L"K"), nothing}},
        {&CLSID_VemoFuns, L"GetFOperateNew", false, {Text(L"K"), nothing, Text(L"r")}},
        {&CLSID_VemoFuns, L"GetStockNumberByID", false,
         {Text(L"1"), Text(L"2"), Text(L"3"), Text(L"4"), nothing}},
        {&CLSID_VemoFuns, L"IsNull", false, {Text(L" ")}},
        {&CLSID_VemoFuns, L"IsNull", false, {Long(0)}},
        {&CLSID_VemoFuns, L"GetICBillNo", false, {Long(1), nothing}},
        {&CLSID_VemoFuns, L"SetToolBarLable", false, {nothing, Bool(true)}},
        {&CLSID_VemoFuns, L"GetFullPathName", false, {Text(L"C:\\x")}},
        {&CLSID_VemoFuns, L"OpenAccessDSN", false, {Text(L"a;b"), Bool(true)}},
        {&CLSID_VemoFuns, L"PeriodFromDate", false, {Real(45000, VT_DATE), nothing}},
        {&CLSID_VemoFuns, L"GetString", false, {Text(L"a,b,c"), Short(2), Text(L",")}},
        {&CLSID_VemoFuns, L"ISIncludeChinese", false, {Text(L"abc")}},
        {&CLSID_IniFile, L"GetAllSet", false, {Text(L"NoSuchSection")}},
        {&CLSID_IniFile, L"GetSet", false, {Text(L"NoSuchSection"), Text(L"k"), Long(3)}},
        {&CLSID_IniFile, L"IniFileName", true, {Text(L"Other.ini")}},
        {&CLSID_IniFile, L"ExecuteSQL", false, {Text(L"")}},
        {&CLSID_IniFile, L"GetAllSetToDict", false, {Text(L"NoSuchSection")}},
        {&CLSID_Btns, L"Item", false, {Long(1)}},
        {&CLSID_Btn, L"Top", true, {Long(7)}},
        {&CLSID_Btn, L"Left", true, {Long(8)}},
        {&CLSID_Btn, L"ISBtn", true, {Long(1)}},
        {&CLSID_Btn, L"ToolTip", true, {Text(L"tip")}},
        {&CLSID_Btn, L"FPicture", true, {Text(L"f.bmp")}},
        {&CLSID_Btn, L"SPicture", true, {Text(L"s.bmp")}},
        {&CLSID_Btn, L"Opt", true, {Long(3)}},
        {&CLSID_Btn, L"ID", true, {Long(9)}},
        {&CLSID_Btn, L"BLoad", true, {Bool(true)}},
    };

    auto make = [&](const CLSID& cls) { return Make<IDispatch>(cls, IID_IDispatch); };
    enum Form { Literal, Variable, TypedReference };
    // One call on a new object; a put is read back through its get.
    auto run = [&](const Case& c, size_t changed, Form form) {
        ComPtr<IDispatch> object = make(*c.cls);
        if (!object) return std::wstring(L"not created");
        LPOLESTR name = const_cast<LPOLESTR>(c.member);
        DISPID id = 0;
        if (FAILED(object->GetIDsOfNames(IID_NULL, &name, 1, 0, &id))) return std::wstring(L"no such name");
        std::deque<VARIANT> copies;  // what the references point at; fresh for every call
        std::vector<VARIANT> reversed;
        for (size_t k = c.args.size(); k-- > 0;) {
            VARIANT a = c.args[k];
            if (k == changed && form != Literal) {
                VARIANT& copy = copies.emplace_back();
                VariantInit(&copy);
                VariantCopy(&copy, &a);
                a = vemo::raw::Reference(copy, form == Variable ? VT_VARIANT : V_VT(&copy));
            }
            reversed.push_back(a);
        }
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS p = {reversed.data(), c.put ? &named : nullptr, static_cast<UINT>(reversed.size()),
                        c.put ? 1u : 0u};
        vemo::Variant r;
        HRESULT hr = object->Invoke(id, IID_NULL, 0, c.put ? DISPATCH_PROPERTYPUT : DISPATCH_METHOD | DISPATCH_PROPERTYGET, &p,
                                    c.put ? nullptr : r.Get(), nullptr, nullptr);
        if (c.put && SUCCEEDED(hr)) {
            DISPPARAMS none = {nullptr, nullptr, 0, 0};
            hr = object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, r.Get(), nullptr, nullptr);
        }
        for (VARIANT& v : copies) VariantClear(&v);
        return Describe(hr, *r.Get());
    };

    std::set<std::wstring> covered;
    for (const Case& c : table) {
        covered.insert(c.member);
        const std::wstring literal = run(c, SIZE_MAX, Literal);
        EXPECT_EQ(literal.find(L"a reference"), std::wstring::npos) << c.member << L": " << literal;
        for (size_t k = 0; k < c.args.size(); ++k) {
            for (Form form : {Variable, TypedReference}) {
                if (form == TypedReference && V_VT(&c.args[k]) == VT_NULL) continue;  // no such reference
                EXPECT_EQ(run(c, k, form), literal)
                    << c.member << L" argument " << k << (form == Variable ? L" as a variable" : L" by reference");
            }
        }
    }
    EXPECT_EQ(grid.References(), 1);

    // Every member that takes a parameter by value is in the table.
    for (const CLSID* cls : {&CLSID_VemoFuns, &CLSID_IniFile, &CLSID_Btns, &CLSID_Btn}) {
        ComPtr<IDispatch> object = make(*cls);
        ComPtr<ITypeInfo> info;
        ASSERT_HRESULT_SUCCEEDED(object->GetTypeInfo(0, 0, info.Out()));
        vemo::TypeAttr attr;
        ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(attr.Out(info.Get())));
        for (UINT i = 0; i < attr->cFuncs; ++i) {
            vemo::FuncDesc f;
            ASSERT_HRESULT_SUCCEEDED(info->GetFuncDesc(i, f.Out(info.Get())));
            bool byValue = false;
            for (SHORT k = 0; k < f->cParams; ++k)
                byValue |= !(f->lprgelemdescParam[k].paramdesc.wParamFlags & (PARAMFLAG_FOUT | PARAMFLAG_FRETVAL));
            vemo::Bstr name;
            UINT n = 0;
            info->GetNames(f->memid, name.Out(), 1, &n);
            if (byValue && name.Get() && !(f->wFuncFlags & FUNCFLAG_FRESTRICTED)) {
                EXPECT_TRUE(covered.count(name.Get())) << name.Get() << L" is missing from the table";
            }
        }
    }
    for (Case& c : table) {
        for (VARIANT& v : c.args) {
            if (V_VT(&v) == VT_BSTR) VariantClear(&v);  // the objects were never ours
        }
    }
}

}  // namespace
