#include "frame/auto_values.h"
#include "frame/errors.h"

namespace vemo {

Bstr::Bstr(std::u16string_view s) {
    s_ = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(s.data()), static_cast<UINT>(s.size()));
    if (!s_) ThrowOutOfMemory();
}

Bstr::Bstr(const wchar_t* s) {
    s_ = SysAllocString(s);
    if (!s_) ThrowOutOfMemory();
}

Variant Variant::CopyOf(const VARIANT& v) {
    Variant copy;
    Check(VariantCopyInd(copy.Get(), const_cast<VARIANT*>(&v)));
    return copy;
}

bool IsMissing(const VARIANT* v) {
    v = Deref(v);
    return !v || (V_VT(v) == VT_ERROR && V_ERROR(v) == DISP_E_PARAMNOTFOUND);
}

IUnknown* CarriedObject(const VARIANT* v) {
    v = Deref(v);
    if (!v) return nullptr;
    switch (V_VT(v)) {
    case VT_DISPATCH: return V_DISPATCH(v);
    case VT_UNKNOWN: return V_UNKNOWN(v);
    case VT_BYREF | VT_DISPATCH: return V_DISPATCHREF(v) ? *V_DISPATCHREF(v) : nullptr;
    case VT_BYREF | VT_UNKNOWN: return V_UNKNOWNREF(v) ? *V_UNKNOWNREF(v) : nullptr;
    default: return nullptr;
    }
}

const VARIANT* Deref(const VARIANT* v) {
    if (v && V_VT(v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(v)) return V_VARIANTREF(v);
    return v;
}

}  // namespace vemo
