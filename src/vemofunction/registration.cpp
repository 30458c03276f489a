#include "vemofunction/registration.h"
#include "frame/class_registry.h"
#include "frame/errors.h"
#include "vemofunction/class_table.h"

#include <string>

namespace vemo {

HRESULT RegisterAliasInterfaces(HKEY root) {
    for (const table::InterfaceText& i : table::kInterfaces) {
        if (!i.alias) continue;
        const std::wstring key = std::wstring(L"Interface\\") + i.iid;
        LONG rc = SetClassesKey(key, nullptr, i.name, root);
        if (!rc) rc = SetClassesKey(key + L"\\ProxyStubClsid", nullptr, table::kAutomationMarshaller, root);
        if (!rc) rc = SetClassesKey(key + L"\\ProxyStubClsid32", nullptr, table::kAutomationMarshaller, root);
        if (!rc) rc = SetClassesKey(key + L"\\TypeLib", nullptr, table::kLibId, root);
        if (!rc) rc = SetClassesKey(key + L"\\TypeLib", L"Version", table::kLibVersion, root);
        if (rc) return FromWin32(rc);
    }
    return S_OK;
}

HRESULT UnregisterAliasInterfaces(HKEY root) {
    HRESULT result = S_OK;
    for (const table::InterfaceText& i : table::kInterfaces) {
        if (!i.alias) continue;
        HRESULT hr = FromWin32(DeleteClassesTree(std::wstring(L"Interface\\") + i.iid, root));
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}

}  // namespace vemo
