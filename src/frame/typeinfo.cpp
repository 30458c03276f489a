#include "frame/typeinfo.h"
#include "frame/com_ptr.h"
#include "frame/module.h"

namespace vemo {

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

HRESULT LoadRegisteredTypeInfo(REFGUID libid, WORD major, WORD minor, REFIID iid, ITypeInfo** info) {
    *info = nullptr;
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadRegTypeLib(libid, major, minor, LOCALE_NEUTRAL, lib.Out());
    if (FAILED(hr)) return hr;
    return lib->GetTypeInfoOfGuid(iid, info);
}

}  // namespace vemo
