// Hostile late-bound callers: for every member of every class, random
// Invoke calls with random argument counts, VARIANT types (by reference,
// arrays, Null, Empty, objects, huge and null strings), named arguments and
// flags. Passes when the process survives, every call returns, and the
// library can unload at the end (nothing leaked).
//
// Usage: dispatch_fuzz [calls per member] [seed]   (VEMO_DLL names the DLL)
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "VemoFunction_h.h"
#include "com_calls.h"
#include "fake_dispatch.h"
#include "frame/auto_values.h"
#include "frame/com_ptr.h"
#include "frame/typeinfo.h"

namespace {

namespace raw = vemo::raw;

constexpr DWORD kBudgetMs = 20000;


struct Member {
    DISPID id;
    std::wstring name;
    UINT params;
};

std::vector<Member> MembersOf(IDispatch* object) {
    std::vector<Member> out;
    vemo::ComPtr<ITypeInfo> info;
    if (FAILED(object->GetTypeInfo(0, 0, info.Out()))) return out;
    vemo::TypeAttr attr;
    if (FAILED(info->GetTypeAttr(attr.Out(info.Get())))) return out;
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        vemo::FuncDesc f;
        if (FAILED(info->GetFuncDesc(i, f.Out(info.Get())))) continue;
        if (!(f->wFuncFlags & FUNCFLAG_FRESTRICTED) || f->memid == DISPID_NEWENUM) {
            vemo::Bstr name;
            info->GetDocumentation(f->memid, name.Out(), nullptr, nullptr, nullptr);
            out.push_back({f->memid, name.Get() ? name.Get() : L"?", static_cast<UINT>(f->cParams)});
        }
    }
    return out;
}

// One call's arguments and everything they point to.
class Arguments {
public:
    Arguments(std::mt19937& rng, const std::vector<IDispatch*>& objects, FakeObject* fake)
        : rng_(rng), objects_(objects), fake_(fake) {
        refs_.reserve(64);
    }
    ~Arguments() {
        for (VARIANT& v : args_) VariantClear(&v);
        for (VARIANT& v : refs_) VariantClear(&v);
    }
    void Fill(UINT count) {
        args_.resize(count);
        for (VARIANT& v : args_) Random(v, 0);
    }
    VARIANT* Data() { return args_.empty() ? nullptr : args_.data(); }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    BSTR RandomText() {
        switch (Pick(14)) {
        case 0: return nullptr;
        case 1: return SysAllocString(L"");
        case 2: return SysAllocString(L" 12 ");
        case 3: return SysAllocString(L"x' OR '1'='1");
        case 4: return SysAllocString(L"1; DELETE FROM ICInventory");
        case 5: return SysAllocString(L"A+|B-|C|+D");
        case 6: return SysAllocString(L"\x4E2D\x6587\x4E2D\x6587");
        case 7: {
            std::wstring huge(100000 + Pick(5000), L'9');
            return SysAllocStringLen(huge.data(), static_cast<UINT>(huge.size()));
        }
        case 8: {
            std::wstring s(40000, L'A');
            return SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
        }
        case 9: return SysAllocStringLen(L"a\0b;c\"d", 7);
        case 10: return SysAllocString(L"\xD800\xDFFF\xDC00");
        case 11: return SysAllocString(L"..\\..\\..\\x");
        case 12: return SysAllocString(L"12345678901234567890");
        default: {
            std::wstring s(Pick(40), L' ');
            for (wchar_t& c : s) c = static_cast<wchar_t>(Pick(0x10000));
            return SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
        }
        }
    }
    IDispatch* RandomObject() {
        int n = Pick(static_cast<int>(objects_.size()) + 2);
        IDispatch* p = n == 0 ? nullptr : n == 1 ? static_cast<IDispatch*>(fake_) : objects_[n - 2];
        if (p) p->AddRef();
        return p;
    }
    SAFEARRAY* RandomArray() {
        VARTYPE type = Pick(2) ? VT_UI1 : VT_VARIANT;
        SAFEARRAYBOUND b = {static_cast<ULONG>(Pick(70)), Pick(3) - 1};
        SAFEARRAY* a = SafeArrayCreate(type, 1, &b);
        if (a && type == VT_VARIANT) {
            VARIANT* items = nullptr;
            SafeArrayAccessData(a, reinterpret_cast<void**>(&items));
            for (ULONG i = 0; i < b.cElements; ++i) items[i] = vemo::raw::Text(RandomText());
            SafeArrayUnaccessData(a);
        }
        return a;
    }
    VARIANT& NewRef() {
        refs_.emplace_back();
        VariantInit(&refs_.back());
        return refs_.back();
    }
    void Random(VARIANT& v, int depth) {
        VariantInit(&v);
        switch (Pick(depth ? 17 : 21)) {
        case 0: break;  // Empty
        case 1: v = raw::Of(VT_NULL); break;
        case 2: v = raw::Short(static_cast<SHORT>(Pick(3) ? Pick(20) - 5 : Pick(65536))); break;
        case 3: v = raw::Long(Pick(3) ? Pick(20) - 5 : static_cast<LONG>(rng_())); break;
        case 4: {
            static const double values[] = {0, -1, 0.5, 2.5, 1e308, -1e308, 1e-300, 40000, 2147483648.0};
            v = raw::Double(values[Pick(9)]);
            break;
        }
        case 5: v = raw::Bool(Pick(2) != 0); break;
        case 6: case 7: case 8: v = raw::Text(RandomText()); break;
        case 9: {
            static const double dates[] = {0, 45000.75, -657434, 2958465.99, 1e10, -1e10};
            v = raw::Date(dates[Pick(6)]);
            break;
        }
        case 10: v = raw::Of(VT_CY); V_CY(&v).int64 = static_cast<LONGLONG>(rng_()) << Pick(32); break;
        case 11: v = raw::Error(Pick(2) ? DISP_E_PARAMNOTFOUND : E_FAIL); break;
        case 12: case 13: v = raw::Object(RandomObject()); break;
        case 14: v = raw::Unknown(RandomObject()); break;
        case 15: {
            SAFEARRAY* a = RandomArray();
            if (!a) break;
            VARTYPE element = VT_EMPTY;
            SafeArrayGetVartype(a, &element);
            v = raw::Array(a, element);
            break;
        }
        case 16: v = raw::Of(VT_UI1); V_UI1(&v) = static_cast<BYTE>(Pick(256)); break;
        // By reference (not nested): storage owned here, freed after the call.
        case 17: { VARIANT& r = NewRef(); r = raw::Long(Pick(10000) - 10); v = raw::Reference(r, VT_I4); break; }
        case 18: { VARIANT& r = NewRef(); r = raw::Text(RandomText()); v = raw::Reference(r, VT_BSTR); break; }
        case 19: { VARIANT& r = NewRef(); Random(r, depth + 1); v = raw::Reference(r, VT_VARIANT); break; }
        default: { VARIANT& r = NewRef(); r = raw::Object(RandomObject()); v = raw::Reference(r, VT_DISPATCH); break; }
        }
    }

    std::mt19937& rng_;
    const std::vector<IDispatch*>& objects_;
    FakeObject* fake_;
    std::vector<VARIANT> args_;
    std::vector<VARIANT> refs_;  // reserved: by-reference targets stay put
};

}  // namespace

int main(int argc, char** argv) {
    unsigned perMember = argc > 1 ? static_cast<unsigned>(atoi(argv[1])) : 2000;
    unsigned seed = argc > 2 ? static_cast<unsigned>(strtoul(argv[2], nullptr, 10)) : 20261208u;
    std::mt19937 rng(seed);
    const bool verbose = GetEnvironmentVariableW(L"VEMO_FUZZ_VERBOSE", nullptr, 0) != 0;
    const bool traceCalls = GetEnvironmentVariableW(L"VEMO_FUZZ_TRACE", nullptr, 0) != 0;
    CoInitialize(nullptr);
    const LoadedLibrary dll(LibraryPath());
    if (!dll.getClassObject || !dll.canUnloadNow) { printf("cannot load the library\n"); return 2; }
    const auto canUnloadNow = dll.canUnloadNow;

    struct Class {
        const wchar_t* name;
        const CLSID* clsid;
        bool keepsArguments;
    };
    const Class classes[] = {{L"VemoFuns", &CLSID_VemoFuns, false}, {L"IniFile", &CLSID_IniFile, false},
                             {L"Btns", &CLSID_Btns, true}, {L"Btn", &CLSID_Btn, true}};
    // A fresh object of every class, so that each member's run is judged alone.
    auto makeObjects = [&](std::vector<IDispatch*>& out) {
        for (const Class& c : classes) {
            IDispatch* object = nullptr;
            if (FAILED(dll.Create(*c.clsid, IID_IDispatch, reinterpret_cast<void**>(&object)))) return false;
            out.push_back(object);
        }
        return true;
    };

    FakeObject fake;
    static const WORD kFlags[] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                  DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYPUTREF, 0, 0xFFFF};
    static const DISPID kNames[] = {DISPID_PROPERTYPUT, 0, 1, 2, 3, 5, 7, -1, 0x7FFFFFFF};
    unsigned long calls = 0, refused = 0, leaks = 0;
    for (size_t c = 0; c < 4; ++c) {
        std::vector<IDispatch*> probe;
        if (!makeObjects(probe)) { printf("cannot create the objects\n"); return 2; }
        std::vector<Member> members = MembersOf(probe[c]);
        for (IDispatch* p : probe) p->Release();
        members.push_back({0x7FFF1234, L"(no such member)", 2});
        for (const Member& m : members) {
            if (verbose) {
                printf("  %ls.%ls\n", classes[c].name, m.name.c_str());
                fflush(stdout);
            }
            bool alive = canUnloadNow() != S_OK;  // an earlier member's leak
            std::vector<IDispatch*> objects;
            makeObjects(objects);
            IDispatch* target = objects[c];
            // Objects that keep their arguments get no library objects: a
            // button holding itself would be a reference cycle of the
            // caller's making.
            static const std::vector<IDispatch*> none;
            const std::vector<IDispatch*>& pool = classes[c].keepsArguments ? none : objects;
            auto references = [&] {
                ULONG sum = 0;
                for (IDispatch* p : objects) {
                    p->AddRef();
                    sum += p->Release();
                }
                return sum;
            };
            // A member that blocks (a lock held elsewhere, a slow server)
            // gets a time budget rather than the whole run's.
            const DWORD started = GetTickCount();
            unsigned k = 0;
            for (; k < perMember && GetTickCount() - started < kBudgetMs; ++k) {
                auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
                Arguments args(rng, pool, &fake);
                UINT count = static_cast<UINT>(pick(static_cast<int>(m.params) + 3));
                args.Fill(count);
                WORD flags = kFlags[pick(7)];
                DISPID named[2] = {DISPID_PROPERTYPUT, 0};
                UINT namedCount = 0;
                if (count && (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && pick(4)) namedCount = 1;
                else if (count && !pick(5)) {
                    namedCount = static_cast<UINT>(1 + pick(count > 1 ? 2 : 1));
                    for (UINT i = 0; i < namedCount; ++i) named[i] = kNames[pick(9)];
                }
                DISPPARAMS params = {args.Data(), namedCount ? named : nullptr, count, namedCount};
                VARIANT result;
                VariantInit(&result);
                vemo::ExcepInfo excep;
                UINT argErr = 0;
                bool wantResult = pick(5) != 0, wantExcep = pick(2) != 0;
                ULONG before = references();
                if (traceCalls) {
                    std::wstring shape;
                    for (UINT i = count; i-- > 0;) shape += std::to_wstring(V_VT(&params.rgvarg[i])) + L" ";
                    printf("    flags %u args [%ls] named %u result %d\n", flags, shape.c_str(), namedCount, wantResult);
                    fflush(stdout);
                }
                HRESULT hr = target->Invoke(m.id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                            wantResult ? &result : nullptr, wantExcep ? excep.Get() : nullptr,
                                            pick(2) ? &argErr : nullptr);
                ++calls;
                if (FAILED(hr)) ++refused;
                VariantClear(&result);
                excep.Clear();
                if (!classes[c].keepsArguments && references() != before) {
                    std::wstring shape;
                    for (UINT i = count; i-- > 0;) shape += std::to_wstring(V_VT(&params.rgvarg[i])) + L" ";
                    printf("  %ls.%ls flags %u args [%ls] named %u: hr %08lx kept a library object\n", classes[c].name,
                           m.name.c_str(), flags, shape.c_str(), namedCount, static_cast<unsigned long>(hr));
                }
            }
            DWORD spent = GetTickCount() - started;
            if (spent > kBudgetMs / 4)
                printf("  %ls.%ls is slow: %u calls in %lu ms\n", classes[c].name, m.name.c_str(), k,
                       static_cast<unsigned long>(spent));
            for (IDispatch* p : objects) p->Release();
            if ((!alive && canUnloadNow() != S_OK) || fake.References() != 1) {
                ++leaks;
                printf("LEAK after %ls.%ls: library objects alive %s, scripted object references %ld\n",
                       classes[c].name, m.name.c_str(), canUnloadNow() == S_OK ? "no" : "yes", fake.References());
            }
        }
        printf("%ls: %u members done\n", classes[c].name, static_cast<unsigned>(members.size() - 1));
        fflush(stdout);
    }
    printf("%lu calls (%lu refused), seed %u, %lu members leaked\n", calls, refused, seed, leaks);
    bool ok = leaks == 0 && canUnloadNow() == S_OK;
    printf(ok ? "dispatch fuzz passed\n" : "dispatch fuzz FAILED\n");
    CoUninitialize();
    return ok ? 0 : 1;
}
