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

const VARIANT* Deref(const VARIANT* v) {
    if (v && V_VT(v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(v)) return V_VARIANTREF(v);
    return v;
}

}  // namespace vemo
