#include "frame/typeinfo.h"
#include "frame/com_ptr.h"
#include "frame/module.h"

namespace vemo {

HRESULT VtableTypeInfo(ITypeInfo* info, ITypeInfo** vtable) {
    *vtable = nullptr;
    TypeAttr attr;
    HRESULT hr = info->GetTypeAttr(attr.Out(info));
    if (FAILED(hr)) return hr;
    if (attr->typekind != TKIND_DISPATCH || !(attr->wTypeFlags & TYPEFLAG_FDUAL)) {
        info->AddRef();
        *vtable = info;
        return S_OK;
    }
    HREFTYPE ref = 0;
    hr = info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref);
    if (FAILED(hr)) return hr;
    return info->GetRefTypeInfo(ref, vtable);
}

HRESULT LoadOwnTypeLib(ITypeLib** lib) {
    return LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, lib);
}

HRESULT LoadOwnTypeInfo(REFIID iid, ITypeInfo** info) {
    *info = nullptr;
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadOwnTypeLib(lib.Out());
    if (FAILED(hr)) return hr;
    return lib->GetTypeInfoOfGuid(iid, info);
}

HRESULT LoadCarriedTypeInfo(REFIID iid, ITypeInfo** info) {
    *info = nullptr;
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx((ModulePath() + L"\\2").c_str(), REGKIND_NONE, lib.Out());
    if (FAILED(hr)) return hr;
    return lib->GetTypeInfoOfGuid(iid, info);
}

}  // namespace vemo
