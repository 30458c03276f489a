// The class factory and the class-object exports.
#include "frame/classes.h"
#include "frame/errors.h"
#include "frame/module.h"

#include <new>
#include <unknwn.h>

namespace vemo {
namespace {

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(const ClassEntry& entry) : entry_(entry) { ObjectCreated(); }
    ~ClassFactory() { ObjectDestroyed(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
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

private:
    const ClassEntry& entry_;
    volatile LONG refs_ = 1;
};

}  // namespace

const ClassEntry* FindClass(REFCLSID clsid) {
    for (const ClassEntry& c : ModuleClasses())
        if (IsEqualCLSID(clsid, *c.clsid)) return &c;
    return nullptr;
}

}  // namespace vemo

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const vemo::ClassEntry* entry = vemo::FindClass(clsid);
    if (!entry) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) vemo::ClassFactory(*entry);
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

STDAPI DllCanUnloadNow() { return vemo::ModuleInUse() ? S_FALSE : S_OK; }
