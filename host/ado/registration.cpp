// DllRegisterServer / DllUnregisterServer of the test host's ADO subset: the
// classes and their ProgIDs only. The type library stays embedded and
// unregistered, so the ADO interface keys of the prefix are left alone.
#include "frame/class_registry.h"
#include "frame/errors.h"
#include "frame/module.h"

#include <objbase.h>
#include <string>

STDAPI DllRegisterServer() {
    return vemo::Sealed([] { return vemo::RegisterClassTable(vemo::ModulePath(), nullptr, nullptr); });
}

STDAPI DllUnregisterServer() {
    return vemo::Sealed([] { return vemo::UnregisterClassTable(); });
}
