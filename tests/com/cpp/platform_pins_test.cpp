// Pins of the platform behaviour behind the library's workarounds. Under
// Wine each pin asserts what Wine 8 does today, as Wine's own conformance
// tests mark what Wine still lacks: when Wine changes, the pin fails and
// names the workaround that may no longer be needed. Elsewhere the pins are
// skipped; the behaviour they hold is Wine's.
//
// The Invoke pins call the platform's ITypeInfo::Invoke directly on the
// library's own type information, past the library's dispatch base, with an
// object laid out as the interface whose member slots only record what
// arrived (Wine passes some defaults where a pointer belongs, which a real
// member would dereference).
#include "com_test_support.h"
#include "frame/late_bound.h"
#include "frame/typeinfo.h"
#include "VemoFunction_h.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

// The object the platform's Invoke calls: the vtable pointer first, then
// what the recorders noted.
struct RawObject {
    void* const* vtable;
    int calls = 0;
    std::string seen;
};

template <class Function>
void* Slot(Function* f) {
    return reinterpret_cast<void*>(f);
}

HRESULT STDMETHODCALLTYPE NoInterface(RawObject*, REFIID, void** out) {
    *out = nullptr;
    return E_NOINTERFACE;
}
ULONG STDMETHODCALLTYPE OneReference(RawObject*) { return 1; }

// _VemoFuns::SetWindowOnTop: the four by-reference arguments as numbers
// (their low 32 bits), never read through.
HRESULT STDMETHODCALLTYPE SetWindowOnTop(RawObject* o, IDispatch*, VARIANT_BOOL, LONG* x, LONG* y, LONG* cx,
                                         LONG* cy) {
    ++o->calls;
    for (LONG* p : {x, y, cx, cy}) {
        o->seen += (o->seen.empty() ? "" : " ") + std::to_string(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)));
    }
    return S_OK;
}
// _VemoFuns::GetString: its arguments as "str|place|sep".
HRESULT STDMETHODCALLTYPE GetString(RawObject* o, BSTR str, SHORT place, BSTR sep, BSTR* result) {
    ++o->calls;
    o->seen = Narrow(str ? str : L"") + "|" + std::to_string(place) + "|" + Narrow(sep ? sep : L"");
    *result = nullptr;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE MergeRowData(RawObject* o, IDispatch**, LONG, BSTR, BSTR* result) {
    ++o->calls;
    *result = nullptr;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE GetFOperateNew(RawObject* o, BSTR, _Connection*, BSTR*, LONG* result) {
    ++o->calls;
    *result = 0;
    return S_OK;
}
// _IniFile::GetSet: the type of the default it was given, read only where
// the argument is an address (the lowest 64 KB never are).
HRESULT STDMETHODCALLTYPE GetSet(RawObject* o, BSTR, BSTR*, VARIANT* fallback, VARIANT* result) {
    ++o->calls;
    o->seen = reinterpret_cast<uintptr_t>(fallback) > 0xFFFF ? "VT " + std::to_string(V_VT(fallback)) : "no address";
    VariantInit(result);
    return S_OK;
}

class PlatformPinsTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        if (!UnderWine()) GTEST_SKIP() << "the pins hold Wine's behaviour";
        wchar_t path[MAX_PATH];
        ASSERT_NE(GetModuleFileNameW(dll_.module, path, MAX_PATH), 0u);
        ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(path, REGKIND_NONE, lib_.Out()));
    }

    // The vtable interface of one of the library's dual interfaces.
    ComPtr<ITypeInfo> Interface(REFIID iid) {
        ComPtr<ITypeInfo> dual, vtable;
        if (SUCCEEDED(lib_->GetTypeInfoOfGuid(iid, dual.Out()))) vemo::VtableTypeInfo(dual.Get(), vtable.Out());
        return vtable;
    }
    // The description of a member; empty if none.
    static vemo::FuncDesc Function(ITypeInfo* info, const wchar_t* name) {
        LPOLESTR n = const_cast<LPOLESTR>(name);
        MEMBERID id = 0;
        vemo::TypeAttr attr;
        if (FAILED(info->GetIDsOfNames(&n, 1, &id)) || FAILED(info->GetTypeAttr(attr.Out(info)))) return {};
        vemo::FuncDesc f;
        for (UINT i = 0; i < attr->cFuncs; ++i)
            if (SUCCEEDED(info->GetFuncDesc(i, f.Out(info))) && f->memid == id) return f;
        return {};
    }
    // A vtable of the interface's size: IUnknown's slots, and the member
    // slots named, each holding its recorder.
    std::vector<void*> Vtable(ITypeInfo* info, std::initializer_list<std::pair<const wchar_t*, void*>> members) {
        vemo::TypeAttr attr;
        if (FAILED(info->GetTypeAttr(attr.Out(info)))) return {};
        std::vector<void*> slots(attr->cbSizeVft / sizeof(void*), nullptr);
        slots[0] = Slot(&NoInterface);
        slots[1] = slots[2] = Slot(&OneReference);
        for (const auto& [name, recorder] : members) {
            if (const vemo::FuncDesc f = Function(info, name)) slots.at(f->oVft / sizeof(void*)) = recorder;
        }
        return slots;
    }
    // The platform's Invoke of a member on `object`: positional arguments
    // first to last, then named ones.
    static HRESULT Invoke(ITypeInfo* info, RawObject& object, const wchar_t* member, std::vector<VARIANT> args,
                          std::vector<std::pair<DISPID, VARIANT>> named = {}) {
        std::vector<VARIANT> all;
        std::vector<DISPID> names;
        for (const auto& [id, value] : named) {
            names.push_back(id);
            all.push_back(value);
        }
        all.insert(all.end(), args.rbegin(), args.rend());
        DISPPARAMS p = {all.data(), names.empty() ? nullptr : names.data(), static_cast<UINT>(all.size()),
                        static_cast<UINT>(names.size())};
        LPOLESTR n = const_cast<LPOLESTR>(member);
        MEMBERID id = 0;
        info->GetIDsOfNames(&n, 1, &id);
        vemo::Variant result;
        const HRESULT hr = info->Invoke(&object, id, DISPATCH_METHOD, &p, result.Get(), nullptr, nullptr);
        for (VARIANT& v : all) {
            if (V_VT(&v) == VT_BSTR) VariantClear(&v);
        }
        return hr;
    }

    ComPtr<ITypeLib> lib_;
};

// A type library written by the platform's writer (CreateTypeLib2) and read
// back: one function with a Boolean parameter whose default is true, and a
// property put whose value is named. What the writer kept of each.
struct WrittenLibrary {
    HRESULT putNamed = E_FAIL;    // SetFuncAndParamNames with the value's name
    HRESULT putUnnamed = E_FAIL;  // the same one name short
    VARTYPE defaultType = VT_EMPTY;
    int defaultValue = 0;         // the Boolean default read back
};
WrittenLibrary WriteAndRead() {
    WrittenLibrary w;
    wchar_t dir[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    if (!GetTempFileNameW(dir, L"pin", 0, path)) return w;
    ComPtr<ICreateTypeLib2> lib;
    ComPtr<ICreateTypeInfo> type;
    ComPtr<ITypeLib> stdole;
    ComPtr<ITypeInfo> unknown;
    GUID libId, typeId;
    HREFTYPE base = 0;
    CoCreateGuid(&libId);
    CoCreateGuid(&typeId);
    if (FAILED(CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, path, lib.Out())) ||
        FAILED(lib->SetGuid(libId)) ||
        FAILED(lib->CreateTypeInfo(const_cast<LPOLESTR>(L"IPinned"), TKIND_INTERFACE, type.Out())) ||
        FAILED(type->SetGuid(typeId)) || FAILED(LoadTypeLib(L"stdole2.tlb", stdole.Out())) ||
        FAILED(stdole->GetTypeInfoOfGuid(IID_IUnknown, unknown.Out())) ||
        FAILED(type->AddRefTypeInfo(unknown.Get(), &base)) || FAILED(type->AddImplType(0, base))) {
        DeleteFileW(path);
        return w;
    }
    PARAMDESCEX byDefault = {sizeof(PARAMDESCEX), Bool(true)};
    ELEMDESC flag = {};
    flag.tdesc.vt = VT_BOOL;
    flag.paramdesc.wParamFlags = PARAMFLAG_FIN | PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT;
    flag.paramdesc.pparamdescex = &byDefault;
    ELEMDESC size = {};
    size.tdesc.vt = VT_I4;
    size.paramdesc.wParamFlags = PARAMFLAG_FIN;
    FUNCDESC f = {};
    f.funckind = FUNC_PUREVIRTUAL;
    f.callconv = CC_STDCALL;
    f.cParams = 1;
    f.elemdescFunc.tdesc.vt = VT_HRESULT;
    f.memid = 1;
    f.invkind = INVOKE_FUNC;
    f.lprgelemdescParam = &flag;
    FUNCDESC put = f;
    put.memid = 2;
    put.invkind = INVOKE_PROPERTYPUT;
    put.lprgelemdescParam = &size;
    LPOLESTR flagNames[] = {const_cast<LPOLESTR>(L"Switch"), const_cast<LPOLESTR>(L"on")};
    LPOLESTR putNames[] = {const_cast<LPOLESTR>(L"Size"), const_cast<LPOLESTR>(L"value")};
    if (SUCCEEDED(type->AddFuncDesc(0, &f)) && SUCCEEDED(type->SetFuncAndParamNames(0, flagNames, 2)) &&
        SUCCEEDED(type->AddFuncDesc(1, &put))) {
        w.putNamed = type->SetFuncAndParamNames(1, putNames, 2);
        w.putUnnamed = type->SetFuncAndParamNames(1, putNames, 1);
    }
    ComPtr<ITypeLib> back;
    ComPtr<ITypeInfo> read;
    vemo::FuncDesc readBack;
    if (SUCCEEDED(type->LayOut()) && SUCCEEDED(lib->SaveAllChanges()) &&
        SUCCEEDED(LoadTypeLibEx(path, REGKIND_NONE, back.Out())) && SUCCEEDED(back->GetTypeInfo(0, read.Out())) &&
        SUCCEEDED(read->GetFuncDesc(0, readBack.Out(read.Get())))) {
        const VARIANT& d = readBack->lprgelemdescParam[0].paramdesc.pparamdescex->varDefaultValue;
        w.defaultType = V_VT(&d);
        w.defaultValue = V_BOOL(&d);
    }
    readBack.Reset();
    read = nullptr;
    back = nullptr;
    type = nullptr;
    lib = nullptr;
    DeleteFileW(path);
    return w;
}

struct Pin {
    const char* wineToday;   // what Wine 8 does, as "Wine ..." would go on
    const char* workaround;  // what may go once it does otherwise
    std::function<std::optional<std::string>()> observe;  // nullopt: cannot be seen here
    std::string expected;    // what observe gives under Wine 8
};

TEST_F(PlatformPinsTest, WineStillBehavesAsTheWorkaroundsAssume) {
    ComPtr<ITypeInfo> funs = Interface(IID__VemoFuns), ini = Interface(IID__IniFile);
    ASSERT_TRUE(funs && ini);
    const std::vector<void*> funsSlots =
        Vtable(funs.Get(), {{L"SetWindowOnTop", Slot(&SetWindowOnTop)}, {L"GetString", Slot(&GetString)},
                            {L"MergeRowData", Slot(&MergeRowData)}, {L"GetFOperateNew", Slot(&GetFOperateNew)}});
    const std::vector<void*> iniSlots = Vtable(ini.Get(), {{L"GetSet", Slot(&GetSet)}});
    ASSERT_FALSE(funsSlots.empty() || iniSlots.empty());
    auto outcome = [](HRESULT hr, const RawObject& o) {
        return Hex(hr) + ", ran " + std::to_string(o.calls) + (o.seen.empty() ? "" : ": " + o.seen);
    };

    const Pin pins[] = {
        {"passes an omitted by-reference parameter's default as the value itself where the member expects a pointer",
         "InvokeArguments::Prepare supplying omitted by-reference defaults as references to private copies",
         [&]() -> std::optional<std::string> {
             RawObject o{funsSlots.data()};
             CountedObject form;
             return outcome(Invoke(funs.Get(), o, L"SetWindowOnTop", {Object(&form), Bool(true)}), o);
         },
         "0x00000000, ran 1: 150 1500 3000 6000"},
        {"maps named arguments but drops one that names no parameter and runs the member without it",
         "InvokeArguments::Prepare refusing a name that names no parameter (DISP_E_PARAMNOTFOUND)",
         [&]() -> std::optional<std::string> {
             RawObject named{funsSlots.data()}, unknown{funsSlots.data()};
             const HRESULT hr = Invoke(funs.Get(), named, L"GetString", {Text(L"a:b")}, {{2, Text(L":")}});
             return outcome(hr, named) + "; " +
                    outcome(Invoke(funs.Get(), unknown, L"GetString", {Text(L"a:b")}, {{9, Text(L":")}}), unknown);
         },
         "0x00000000, ran 1: a:b|1|:; 0x00000000, ran 1: a:b|1||"},
        {"keeps the references it took for earlier arguments when a later one does not convert",
         "InvokeArguments::Prepare converting every argument itself and refusing misfits before Invoke",
         [&]() -> std::optional<std::string> {
             RawObject o{funsSlots.data()};
             CountedObject grid;
             SAFEARRAYBOUND bound = {2, 0};
             vemo::Variant rows = vemo::Variant::Adopt(vemo::raw::Array(SafeArrayCreate(VT_VARIANT, 1, &bound), VT_VARIANT));
             const HRESULT hr = Invoke(funs.Get(), o, L"MergeRowData", {Object(&grid), Long(1), *rows.Get()});
             return outcome(hr, o) + ", the grid's references " + std::to_string(grid.References());
         },
         "0x80020005, ran 0, the grid's references 2"},
        {"gives the member an Empty VARIANT for an omitted [in, out, optional] VARIANT* with a default",
         "InvokeArguments::Prepare supplying that default too (GetSet's empty text)",
         [&]() -> std::optional<std::string> {
             RawObject o{iniSlots.data()};
             vemo::Bstr key(L"k");
             VARIANT keyRef = vemo::Arg::TextRef(key).Get();
             std::string declared = "none";
             if (const vemo::FuncDesc f = Function(ini.Get(), L"GetSet")) {
                 if (const PARAMDESCEX* d = f->lprgelemdescParam[2].paramdesc.pparamdescex)
                     declared = "VT " + std::to_string(V_VT(&d->varDefaultValue));
             }
             return "declared " + declared + "; " + outcome(Invoke(ini.Get(), o, L"GetSet", {Text(L"s"), keyRef}), o);
         },
         "declared VT 8; 0x00000000, ran 1: VT 0"},
        {"refuses a script variable (VT_BYREF | VT_VARIANT) holding a text for a BSTR* parameter",
         "InvokeArguments::Coerce passing such a variable as a reference to the value it holds",
         [&]() -> std::optional<std::string> {
             RawObject o{funsSlots.data()};
             vemo::Variant held;
             *held.Get() = Text(L"r");
             return outcome(
                 Invoke(funs.Get(), o, L"GetFOperateNew", {Text(L"K"), Object(nullptr), VariantRef(held.Get())}), o);
         },
         "0x80020005, ran 0"},
        {"refuses a zero length in LCMapStringW",
         "LocaleKeyFolding::Fold mapping the empty key through its terminator",
         []() -> std::optional<std::string> {
             BYTE key[64];
             SetLastError(0);
             const int n = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, L"", 0,
                                        reinterpret_cast<LPWSTR>(key), sizeof key);
             return std::to_string(n) + ", error " + std::to_string(GetLastError());
         },
         "0, error 87"},
        {"keeps only the low byte of a Boolean default in the type library it writes",
         "tlbfinish's RestoreBooleanDefaults",
         []() -> std::optional<std::string> {
             const WrittenLibrary w = WriteAndRead();
             return "VT " + std::to_string(w.defaultType) + " " + std::to_string(w.defaultValue);
         },
         "VT 11 255"},
        {"refuses the value's name of a property put in SetFuncAndParamNames",
         "tlbfinish naming property puts one name short",
         []() -> std::optional<std::string> {
             const WrittenLibrary w = WriteAndRead();
             return Hex(w.putNamed) + ", one short " + Hex(w.putUnnamed);
         },
         "0x8002802B, one short 0x00000000"},
        {"ends WScript.Shell's ExpandEnvironmentStrings result with the text's NUL",
         "Env in tests/com/vbs/helpers.vbs dropping the NUL",
         []() -> std::optional<std::string> {
             CLSID shellClass;
             ComPtr<IDispatch> shell;
             if (FAILED(CLSIDFromProgID(L"WScript.Shell", &shellClass)) ||
                 FAILED(CoCreateInstance(shellClass, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, shell.OutVoid())))
                 return std::nullopt;
             vemo::Variant text, expanded;
             *text.Get() = Text(L"%SystemRoot%");
             if (FAILED(LateCall(shell.Get(), L"ExpandEnvironmentStrings", DISPATCH_METHOD, {*text.Get()},
                                 expanded.Get())) || expanded.Type() != VT_BSTR)
                 return "no text";
             const std::wstring s = TextOf(expanded);
             if (s.empty() || s.back() != L'\0') return Narrow(s);
             return Narrow(s.substr(0, s.size() - 1)) + " and a NUL";
         },
         "C:\\windows and a NUL"},
        {"fails QueryThreadCycleTime and counts a thread's times in steps of 10 ms",
         "the benchmarks timing thread CPU time with GetThreadTimes and repeating their short phases",
         []() -> std::optional<std::string> {
             ULONG64 cycles = 0;
             const BOOL counted = QueryThreadCycleTime(GetCurrentThread(), &cycles);
             auto cpu = [] {
                 FILETIME created, exited, kernel, user;
                 GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
                 return (ULONGLONG{kernel.dwHighDateTime} << 32 | kernel.dwLowDateTime) +
                        (ULONGLONG{user.dwHighDateTime} << 32 | user.dwLowDateTime);
             };
             const ULONGLONG start = cpu(), until = GetTickCount64() + 5000;
             ULONGLONG next = start;
             while (next == start && GetTickCount64() < until) next = cpu();
             const bool tenMs = next != start && start % 100000 == 0 && next % 100000 == 0;
             return std::string(counted ? "cycles counted, " : "no cycles, ") + (tenMs ? "10 ms steps" : "finer steps");
         },
         "no cycles, 10 ms steps"},
        {"widens an overlapped window to its minimum tracking size (a 100-pixel request is 116 wide)",
         "the window tests sizing their windows above it",
         []() -> std::optional<std::string> {
             WNDCLASSW wc = {};
             wc.lpfnWndProc = DefWindowProcW;
             wc.hInstance = GetModuleHandleW(nullptr);
             wc.lpszClassName = L"VemoPinWindow";
             RegisterClassW(&wc);
             HWND w = CreateWindowExW(0, wc.lpszClassName, L"pin", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                      nullptr, wc.hInstance, nullptr);
             if (!w) return std::nullopt;  // no display
             RECT r;
             GetWindowRect(w, &r);
             DestroyWindow(w);
             return std::to_string(r.right - r.left) + " wide";
         },
         "116 wide"},
    };
    for (const Pin& pin : pins) {
        const std::optional<std::string> seen = pin.observe();
        if (!seen) {
            std::printf("not observable here: Wine %s\n", pin.wineToday);
            continue;
        }
        EXPECT_EQ(*seen, pin.expected) << "Wine no longer " << pin.wineToday
                                       << ". What may no longer be needed: " << pin.workaround;
    }
}

}  // namespace
