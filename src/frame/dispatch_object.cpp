#include "frame/dispatch_object.h"

namespace vemo {

HRESULT VtableTypeInfo(ITypeInfo* info, ITypeInfo** vtable) {
    *vtable = nullptr;
    TYPEATTR* attr = nullptr;
    HRESULT hr = info->GetTypeAttr(&attr);
    if (FAILED(hr)) return hr;
    bool dual = attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL);
    info->ReleaseTypeAttr(attr);
    if (!dual) {
        info->AddRef();
        *vtable = info;
        return S_OK;
    }
    HREFTYPE ref = 0;
    hr = info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref);
    if (FAILED(hr)) return hr;
    return info->GetRefTypeInfo(ref, vtable);
}

}  // namespace vemo
