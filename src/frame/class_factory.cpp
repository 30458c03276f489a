// The class factory of every class in a DLL's table.
#include "frame/class_factory.h"
#include "frame/com_object.h"

namespace vemo {
namespace {

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
public:
    explicit ClassFactory(const ClassEntry& entry) : entry_(entry) {}

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        // A class's constructor may throw (a container that cannot grow).
        return Sealed([&] { return entry_.create(iid, out); });
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        LockModule(lock != FALSE);
        return S_OK;
    }
    using ComObject::CreateInstance;

private:
    const ClassEntry& entry_;
};

}  // namespace

const ClassEntry* FindClass(REFCLSID clsid) {
    for (const ClassEntry& c : ThisModule().classes)
        if (IsEqualCLSID(clsid, *c.clsid)) return &c;
    return nullptr;
}

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const ClassEntry* entry = FindClass(clsid);
    if (!entry) return CLASS_E_CLASSNOTAVAILABLE;
    return ClassFactory::CreateInstance(iid, out, *entry);
}

}  // namespace vemo
