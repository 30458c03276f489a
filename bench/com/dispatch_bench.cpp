// Late-bound calls through the library's dispatch base against the floor of
// type-library dispatch: the platform's plain DispInvoke on the same type
// information and object. For a small text member (GetComString) and one with
// optional by-reference parameters (SetWindowOnTop), in one run:
//   the early-bound vtable call;
//   Invoke with a DISPID looked up once;
//   GetIDsOfNames and Invoke on every call;
//   DispInvoke on the vtable half of the dual interface (the floor);
// and the ratio of the library's Invoke to the floor (goal: at most 1.1).
// SetWindowOnTop's own work (reading the display, the form's hwnd) is most of
// its call, so its overhead over the vtable call is given beside the ratio.
// Prints figures only; exits 2 when a call fails.
//
// Times are the thread's CPU time (other processes on a busy machine do not
// count); its clock ticks in 10 ms steps under Wine, so every figure is the
// fastest of several rounds of many calls, the four ways taking turns.
#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "frame/com_object.h"
#include "frame/late_bound.h"
#include "frame/typeinfo.h"
#include "outside_types.h"
#include "VemoFunction_h.h"

namespace {

// A form as SetWindowOnTop reads it: only its hwnd, 0 (no window is moved).
class Form : public vemo::ScopedComObject<Form, IDispatch> {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        *ids = _wcsicmp(names[0], L"hwnd") == 0 ? 1 : DISPID_UNKNOWN;
        return *ids == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
        if (id != 1) return DISP_E_MEMBERNOTFOUND;
        if (result) *result = vemo::raw::Long(0);
        return S_OK;
    }
};

// Seconds per call of `way`, run in batches until the clock has moved far
// enough for a figure to within a few percent, or, on a machine too busy to
// give this thread the time, until 3 s have passed.
double PerCall(const std::function<void(int)>& way) {
    constexpr double kEnough = 0.3;
    int batch = 100, calls = 0;
    const double start = CpuSeconds();
    const ULONGLONG wallStart = GetTickCount64();
    double elapsed = 0;
    while ((elapsed = CpuSeconds() - start) < kEnough && GetTickCount64() - wallStart < 3000) {
        way(batch);
        calls += batch;
        if (elapsed < kEnough / 10) batch *= 2;
    }
    return elapsed / calls;
}

// One member's four ways of being called; each runs as many calls as told.
struct Ways {
    const char* member;
    std::function<void(int)> vtable, cached, byName, floor;
};

void Report(const Ways& w, int rounds) {
    double best[4] = {1e300, 1e300, 1e300, 1e300};
    const std::function<void(int)>* ways[4] = {&w.vtable, &w.cached, &w.byName, &w.floor};
    for (const auto* way : ways) (*way)(100);  // first calls: caches filled, code paged in
    for (int r = 0; r < rounds; ++r)
        for (int k = 0; k < 4; ++k) best[k] = std::min(best[k], PerCall(*ways[k]));
    const char* names[4] = {"early-bound vtable call", "Invoke, DISPID cached", "GetIDsOfNames + Invoke",
                            "DispInvoke (floor)"};
    std::printf("%s\n", w.member);
    for (int k = 0; k < 4; ++k)
        std::printf("  %-26s %9.3f us/call  %5.2f x floor\n", names[k], best[k] * 1e6, best[k] / best[3]);
    std::printf("  library Invoke / DispInvoke: %.3f (goal <= 1.1); dispatch cost over the vtable call: "
                "library %.3f us, floor %.3f us\n",
                best[1] / best[3], (best[1] - best[0]) * 1e6, (best[3] - best[0]) * 1e6);
}

}  // namespace

int main(int argc, char** argv) {
    const LoadedLibrary dll(DllArgument(argc, argv, "dispatch_bench PATH-OF-VemoFunction.dll"));
    Require(CoInitialize(nullptr), "CoInitialize");
    if (!dll.module) Require(HRESULT_FROM_WIN32(GetLastError()), "LoadLibrary");
    _VemoFuns* funs = nullptr;
    Require(dll.Create(CLSID_VemoFuns, IID__VemoFuns, reinterpret_cast<void**>(&funs)), "VemoFuns");

    // The type information the object hands out, and its vtable half.
    ITypeInfo* info = nullptr;
    Require(funs->GetTypeInfo(0, 0, &info), "GetTypeInfo");
    ITypeInfo* vtable = nullptr;
    Require(vemo::VtableTypeInfo(info, &vtable), "vtable half");

    const auto idOf = [&](const wchar_t* name) {
        LPOLESTR n = const_cast<LPOLESTR>(name);
        DISPID id = DISPID_UNKNOWN;
        Require(funs->GetIDsOfNames(IID_NULL, &n, 1, 0, &id), "GetIDsOfNames");
        return id;
    };
    // One late-bound call: by DISPID, or by name when `name` is given.
    const auto invoke = [&](DISPID id, const wchar_t* name, DISPPARAMS* params, bool floor) {
        if (name) id = idOf(name);
        VARIANT result;
        VariantInit(&result);
        Require(floor ? DispInvoke(funs, vtable, id, DISPATCH_METHOD, params, &result, nullptr, nullptr)
                      : funs->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, params, &result, nullptr, nullptr),
                "Invoke");
        VariantClear(&result);
    };

    // The small text member: the second text of a combined string.
    BSTR text = SysAllocString((std::wstring(500, L'x') + L"abc").c_str());
    VARIANT textArg = vemo::raw::Text(text);
    DISPPARAMS textParams = {&textArg, nullptr, 1, 0};
    const DISPID getComString = idOf(L"GetComString");
    Ways text_ways{"GetComString (a 503-character text in, 3 out)",
                   [&](int n) {
                       for (int i = 0; i < n; ++i) {
                           BSTR out = nullptr;
                           Require(funs->GetComString(text, &out), "GetComString");
                           SysFreeString(out);
                       }
                   },
                   [&](int n) { for (int i = 0; i < n; ++i) invoke(getComString, nullptr, &textParams, false); },
                   [&](int n) { for (int i = 0; i < n; ++i) invoke(0, L"GetComString", &textParams, false); },
                   [&](int n) { for (int i = 0; i < n; ++i) invoke(getComString, nullptr, &textParams, true); }};

    // The member with optional by-reference parameters, every one given (the
    // platform's Invoke mishandles an omitted one, so the floor needs them).
    Form form;
    LONG x = 150, y = 1500, cx = 3000, cy = 6000;
    VARIANT onTop[6];  // last argument first
    LONG* refs[4] = {&cy, &cx, &y, &x};
    for (int k = 0; k < 4; ++k) onTop[k] = vemo::Arg::LongRef(refs[k]).Get();
    onTop[4] = vemo::raw::Bool(false);
    onTop[5] = vemo::raw::Object(&form);
    DISPPARAMS onTopParams = {onTop, nullptr, 6, 0};
    DISPPARAMS onTopOmitted = {onTop + 4, nullptr, 2, 0};
    const DISPID setWindowOnTop = idOf(L"SetWindowOnTop");
    Ways onTopWays{"SetWindowOnTop (form, Boolean, four optional Long by reference, all given)",
                   [&](int n) {
                       for (int i = 0; i < n; ++i)
                           Require(funs->SetWindowOnTop(&form, VARIANT_FALSE, &x, &y, &cx, &cy), "SetWindowOnTop");
                   },
                   [&](int n) { for (int i = 0; i < n; ++i) invoke(setWindowOnTop, nullptr, &onTopParams, false); },
                   [&](int n) { for (int i = 0; i < n; ++i) invoke(0, L"SetWindowOnTop", &onTopParams, false); },
                   [&](int n) { for (int i = 0; i < n; ++i) invoke(setWindowOnTop, nullptr, &onTopParams, true); }};

    Report(text_ways, 5);
    Report(onTopWays, 5);

    // The same member with the four optional ones left out: the library fills
    // in references to their defaults (the floor cannot take this call).
    const auto omittedWay = [&](int n) {
        for (int i = 0; i < n; ++i) invoke(setWindowOnTop, nullptr, &onTopOmitted, false);
    };
    const auto fullFloor = [&](int n) {
        for (int i = 0; i < n; ++i) invoke(setWindowOnTop, nullptr, &onTopParams, true);
    };
    omittedWay(100);
    double omitted = 1e300, full = 1e300;
    for (int r = 0; r < 5; ++r) {
        omitted = std::min(omitted, PerCall(omittedWay));
        full = std::min(full, PerCall(fullFloor));
    }
    std::printf("  optional ones omitted, library Invoke: %.3f us/call  %.3f x floor of the full call\n",
                omitted * 1e6, omitted / full);

    SysFreeString(text);
    vtable->Release();
    info->Release();
    funs->Release();
    CoUninitialize();
    return 0;
}
