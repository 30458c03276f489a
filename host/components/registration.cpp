// DllRegisterServer / DllUnregisterServer of the test host's components: both
// embedded type libraries (resource 1, the components' own; resource 2, the
// host's Pyx library) and every class of the table with its ProgID.
#include "frame/class_registry.h"
#include "frame/com_ptr.h"
#include "frame/errors.h"
#include "frame/module.h"
#include "host_components_h.h"

#include <oleauto.h>
#include <string>

namespace {

HRESULT RegisterLibrary(const std::wstring& path) {
    vemo::ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib.Out());
    if (SUCCEEDED(hr)) hr = RegisterTypeLib(lib.Get(), const_cast<LPOLESTR>(path.c_str()), nullptr);
    return hr;
}

}  // namespace

STDAPI DllRegisterServer() {
    return vemo::Sealed([]() -> HRESULT {
        const std::wstring dll = vemo::ModulePath();
        HRESULT hr = RegisterLibrary(dll);
        if (SUCCEEDED(hr)) hr = RegisterLibrary(dll + L"\\2");
        if (FAILED(hr)) return hr;
        return vemo::RegisterClassTable(dll, &LIBID_TestHost, nullptr);
    });
}

STDAPI DllUnregisterServer() {
    return vemo::Sealed([] {
        vemo::UnregisterClassTable();
        vemo::UnregisterTypeLibrary(LIBID_TestHost, 1, 0);
        // The Pyx library stays registered: the product's import of it is the
        // same library under the same identity.
        return S_OK;
    });
}
