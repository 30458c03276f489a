#include "caller_arguments.h"

#include <oleauto.h>

namespace testhost {

namespace {
void Replace(BSTR* text) {
    if (!text) return;
    BSTR fresh = SysAllocStringLen(*text, SysStringLen(*text));
    if (!fresh) return;
    SysFreeString(*text);
    *text = fresh;
}
}  // namespace

void WriteBackTexts(DISPPARAMS* params) {
    if (!params || !params->rgvarg || !GetEnvironmentVariableW(L"TESTHOST_WRITE_BACK", nullptr, 0)) return;
    for (UINT i = 0; i < params->cArgs; ++i) {
        VARIANT* v = &params->rgvarg[i];
        if (V_VT(v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(v)) v = V_VARIANTREF(v);
        if (V_VT(v) == (VT_BYREF | VT_BSTR)) Replace(V_BSTRREF(v));
        else if (V_VT(v) == VT_BSTR && v != &params->rgvarg[i]) Replace(&V_BSTR(v));
    }
}

std::wstring ArgumentTypes(const DISPPARAMS* params) {
    std::wstring types;
    // The argument array holds them last first.
    for (UINT i = params && params->rgvarg ? params->cArgs : 0; i-- > 0;) {
        if (!types.empty()) types += L',';
        types += std::to_wstring(V_VT(&params->rgvarg[i]));
    }
    return types;
}

}  // namespace testhost
