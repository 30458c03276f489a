// The one implementation of IUnknown for every COM object of the project:
// reference counting, QueryInterface over the object's interface map, and
// the DLL's count of live objects (DllCanUnloadNow).
//
//   class X final : public ComObject<X, IFoo, IBar> { ... };
//
// Each listed interface is a vtable of the object. A query for the IID of
// one (its __uuidof) finds it; IUnknown finds the first, IDispatch the
// first that derives from IDispatch. A class answers further IIDs (older
// IIDs of an interface, a private identity) with
//   void* QueryExtra(REFIID iid);   // an interface of this object, or null
//
// One convention for counting: an object is made with no reference, and
// CreateInstance hands out the first. An object that lives in a
// scope instead (a test's double, a host program's site on its stack)
// derives from ScopedComObject: the scope holds the first reference, and
// the last Release does not delete it.
#pragma once
#include "frame/com_ptr.h"
#include "frame/errors.h"
#include "frame/module.h"

#include <new>
#include <tuple>
#include <type_traits>
#include <utility>
#include <unknwn.h>

namespace vemo {

template <class Derived, class... Interfaces>
class ComObject : public Interfaces... {
    static_assert(sizeof...(Interfaces) > 0, "an object has at least one interface");
    using Primary = std::tuple_element_t<0, std::tuple<Interfaces...>>;

public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    // Makes an object, runs its creation step (Initialize) and hands out
    // `iid`. Never throws: a constructor's exception becomes its HRESULT.
    template <class... Args>
    static HRESULT CreateInstance(REFIID iid, void** out, Args&&... args) noexcept {
        if (!out) return E_POINTER;
        *out = nullptr;
        return Sealed([&]() -> HRESULT {
            Derived* object = new (std::nothrow) Derived(std::forward<Args>(args)...);
            if (!object) return E_OUTOFMEMORY;
            ComPtr<Derived> hold(object);
            HRESULT hr = object->Initialize();
            return SUCCEEDED(hr) ? object->QueryInterface(iid, out) : hr;
        });
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = Find(iid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG n = InterlockedDecrement(&refs_);
        if (n == 0) Derived::FinalRelease(static_cast<Derived*>(this));
        return static_cast<ULONG>(n);
    }

    // Hooks a class may hide with its own. What the last Release does:
    // objects made by CreateInstance are deleted.
    static void FinalRelease(Derived* self) { delete self; }
    // The creation step; a failure fails the creation.
    HRESULT Initialize() { return S_OK; }
    // Interfaces beyond the map; see above.
    void* QueryExtra(REFIID) { return nullptr; }

protected:
    ComObject() { ObjectCreated(); }
    virtual ~ComObject() { ObjectDestroyed(); }

    LONG References() const { return refs_; }

private:
    void* Find(REFIID iid) {
        if (IsEqualIID(iid, IID_IUnknown)) return static_cast<IUnknown*>(static_cast<Primary*>(this));
        void* found = nullptr;
        ((found = found ? found : IsEqualIID(iid, __uuidof(Interfaces)) ? static_cast<Interfaces*>(this) : nullptr),
         ...);
        if (!found && IsEqualIID(iid, IID_IDispatch))
            ((found = found ? found : AsDispatch<Interfaces>()), ...);
        return found ? found : static_cast<Derived*>(this)->QueryExtra(iid);
    }
    template <class I>
    void* AsDispatch() {
        if constexpr (std::is_base_of_v<IDispatch, I>) return static_cast<IDispatch*>(static_cast<I*>(this));
        else return nullptr;
    }

    volatile LONG refs_ = 0;
};

// An object whose life is a scope's, not its references': see above. Its
// count reads 1 when no caller holds a reference.
template <class Derived, class... Interfaces>
class ScopedComObject : public ComObject<Derived, Interfaces...> {
public:
    static void FinalRelease(Derived*) {}
    using ComObject<Derived, Interfaces...>::References;

protected:
    ScopedComObject() { this->AddRef(); }
};

}  // namespace vemo
