#include "frame/invoke_arguments.h"

#include <oleauto.h>

namespace vemo {
namespace {

// The function a call reaches: its DISPID, invoked as a method or a get.
FUNCDESC* FindFunction(ITypeInfo* info, DISPID id, WORD flags) {
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr))) return nullptr;
    WORD count = attr->cFuncs;
    info->ReleaseTypeAttr(attr);
    for (UINT i = 0; i < count; ++i) {
        FUNCDESC* f = nullptr;
        if (FAILED(info->GetFuncDesc(i, &f))) continue;
        if (f->memid == id && (f->invkind & flags & (INVOKE_FUNC | INVOKE_PROPERTYGET))) return f;
        info->ReleaseFuncDesc(f);
    }
    return nullptr;
}

bool IsMissing(const VARIANT* v) {
    return !v || (V_VT(v) == VT_ERROR && V_ERROR(v) == DISP_E_PARAMNOTFOUND);
}

// A by-reference parameter of a plain type (not an object) with a default.
bool IsDefaultedReference(const ELEMDESC& e) {
    if (!(e.paramdesc.wParamFlags & PARAMFLAG_FHASDEFAULT) || !e.paramdesc.pparamdescex) return false;
    if (e.tdesc.vt != VT_PTR || !e.tdesc.lptdesc) return false;
    VARTYPE inner = e.tdesc.lptdesc->vt;
    return inner != VT_PTR && inner != VT_USERDEFINED && inner != VT_SAFEARRAY && inner != VT_CARRAY;
}

}  // namespace

InvokeArguments::~InvokeArguments() {
    for (VARIANT& v : defaults_) VariantClear(&v);
}

HRESULT InvokeArguments::Prepare(ITypeInfo* vtable, DISPID id, WORD flags, DISPPARAMS* caller, DISPPARAMS** use,
                                 UINT* argErr) {
    *use = caller;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return S_OK;
    if (caller->cArgs < caller->cNamedArgs || (caller->cArgs && !caller->rgvarg) ||
        (caller->cNamedArgs && !caller->rgdispidNamedArgs))
        return E_INVALIDARG;
    FUNCDESC* f = FindFunction(vtable, id, flags);
    if (!f) return S_OK;  // Invoke itself reports an unknown member

    UINT visible = static_cast<UINT>(f->cParams);
    if (visible && (f->lprgelemdescParam[visible - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) --visible;
    UINT positional = caller->cArgs - caller->cNamedArgs;
    HRESULT hr = S_OK;
    bool change = caller->cNamedArgs > 0;
    std::vector<const VARIANT*> slot(visible, nullptr);
    if (positional <= visible) {
        for (UINT k = 0; k < positional; ++k) slot[k] = &caller->rgvarg[caller->cArgs - 1 - k];
        for (UINT j = 0; j < caller->cNamedArgs && SUCCEEDED(hr); ++j) {
            DISPID d = caller->rgdispidNamedArgs[j];
            if (d < 0 || static_cast<UINT>(d) >= visible || slot[d]) {
                if (argErr) *argErr = j;
                hr = DISP_E_PARAMNOTFOUND;
            } else {
                slot[d] = &caller->rgvarg[j];
            }
        }
        for (UINT k = 0; k < visible; ++k) {
            if (!IsMissing(slot[k])) continue;
            USHORT pf = f->lprgelemdescParam[k].paramdesc.wParamFlags;
            // A required parameter left out: Invoke reports the count.
            if (!(pf & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) && !slot[k]) {
                vtable->ReleaseFuncDesc(f);
                return S_OK;
            }
            if (IsDefaultedReference(f->lprgelemdescParam[k])) change = true;
        }
    }
    // Too many arguments: Invoke reports the count.
    if (FAILED(hr) || !change || positional > visible) {
        vtable->ReleaseFuncDesc(f);
        return hr;
    }

    // The positions up to the last one given or defaulted here.
    UINT length = 0;
    for (UINT k = 0; k < visible; ++k)
        if (!IsMissing(slot[k]) || IsDefaultedReference(f->lprgelemdescParam[k])) length = k + 1;
    std::vector<VARIANTARG> ordered(length);
    defaults_.reserve(length);
    for (UINT k = 0; k < length; ++k) {
        VARIANTARG& a = ordered[k];
        const ELEMDESC& e = f->lprgelemdescParam[k];
        if (!IsMissing(slot[k])) {
            a = *slot[k];  // the caller's value; the caller keeps it alive
        } else if (IsDefaultedReference(e)) {
            VARTYPE inner = e.tdesc.lptdesc->vt;
            VARIANT& store = defaults_.emplace_back();
            VariantInit(&store);
            HRESULT conv = inner == VT_VARIANT
                               ? VariantCopy(&store, &e.paramdesc.pparamdescex->varDefaultValue)
                               : VariantChangeType(&store, &e.paramdesc.pparamdescex->varDefaultValue, 0, inner);
            if (FAILED(conv)) {
                vtable->ReleaseFuncDesc(f);
                return conv;
            }
            V_VT(&a) = VT_BYREF | inner;
            if (inner == VT_VARIANT) V_VARIANTREF(&a) = &store;
            else V_BYREF(&a) = &V_I4(&store);  // every scalar starts at the union's address
        } else {
            V_VT(&a) = VT_ERROR;
            V_ERROR(&a) = DISP_E_PARAMNOTFOUND;
        }
    }
    vtable->ReleaseFuncDesc(f);
    args_.assign(ordered.rbegin(), ordered.rend());
    params_ = {args_.empty() ? nullptr : args_.data(), nullptr, length, 0};
    *use = &params_;
    return S_OK;
}

}  // namespace vemo
