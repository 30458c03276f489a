// The one implementation of IUnknown, IDispatch and ISupportErrorInfo that
// every automation object of the library uses. IDispatch is driven by the
// type information of the object's default interface, so DISPIDs, optional
// defaults, argument coercion and DISP_E_* errors all come from the type
// library and early- and late-bound callers see the same members.
//
// A class derives as  class X : public DispatchObject<X, IFoo>  (IUnknown
// from ComObject, with ISupportErrorInfo as a second vtable) and supplies
//   static const IID* const kInterfaces[];   // default IID first, null-ended
//   static const wchar_t kErrorSource[];     // source of the errors it raises
//   static HRESULT LoadTypeInfo(ITypeInfo**); // optional: defaults to the
//                                             // embedded library
//   static const OutputParameter kOutputParameters[];  // optional, null-ended:
//                                             // see invoke_arguments.h
#pragma once
#include "frame/com_object.h"
#include "frame/com_ptr.h"
#include "frame/errors.h"
#include "frame/invoke_arguments.h"
#include "frame/module.h"
#include "frame/typeinfo.h"

#include <memory>
#include <oaidl.h>

namespace vemo {

template <class Derived, class Interface>
class DispatchObject : public ComObject<Derived, Interface, ISupportErrorInfo> {
public:
    // Creates an object and returns it as its default interface.
    static ComPtr<Interface> New() {
        ComPtr<Interface> p;
        Check(DispatchObject::CreateInstance(*Derived::kInterfaces[0], p.OutVoid()));
        return p;
    }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return Sealed([&]() -> HRESULT {
            const ClassDispatch& d = Dispatch();
            *info = d.typeInfo.Get();
            (*info)->AddRef();
            return S_OK;
        });
    }
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        return Sealed([&]() -> HRESULT { return Dispatch().vtable->GetIDsOfNames(names, count, ids); });
    }
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) noexcept override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        // Keep the object alive through the call, whatever the member does.
        ComPtr<Interface> self(static_cast<Interface*>(this));
        return Sealed([&]() -> HRESULT {
            const ClassDispatch& d = Dispatch();
            ITypeInfo* vtable = d.vtable.Get();
            flags = d.calls.Served(id, flags);
            if (d.calls.Takes(id, flags, params))
                return vtable->Invoke(static_cast<Interface*>(this), id, flags, params, result, excep, argErr);
            DISPPARAMS none = {nullptr, nullptr, 0, 0};
            InvokeArguments arguments;
            DISPPARAMS* use = nullptr;
            HRESULT hr = arguments.Prepare(vtable, d.calls, id, flags, params ? params : &none, &use, argErr);
            if (FAILED(hr)) return hr;
            hr = vtable->Invoke(static_cast<Interface*>(this), id, flags, use, result, excep, argErr);
            // A failed call writes nothing into the caller's variables.
            if (FAILED(hr)) return hr;
            const HRESULT written = arguments.WriteBack();
            if (FAILED(written) && result) VariantClear(result);  // a failure has no result
            return FAILED(written) ? written : hr;
        });
    }

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override { return Implements(iid) ? S_OK : S_FALSE; }

    static HRESULT LoadTypeInfo(ITypeInfo** info) { return LoadOwnTypeInfo(*Derived::kInterfaces[0], info); }
    static constexpr OutputParameter kOutputParameters[] = {{nullptr, nullptr}};

    // The default interface answers each of its IIDs (an interface kept
    // under older IIDs lists them after the current one).
    void* QueryExtra(REFIID iid) { return Implements(iid) ? static_cast<Interface*>(this) : nullptr; }

protected:
    DispatchObject() = default;

    // Runs a member body with this class as the source of raised errors.
    template <class Body>
    HRESULT Member(Body&& body) noexcept {
        ErrorSourceScope scope(Derived::kErrorSource, Derived::kInterfaces[0]);
        SetErrorInfo(0, nullptr);
        return Guarded(std::forward<Body>(body));
    }

private:
    static bool Implements(REFIID iid) {
        for (const IID* const* p = Derived::kInterfaces; *p; ++p)
            if (IsEqualIID(iid, **p)) return true;
        return false;
    }
    // What dispatch needs of the class, the same for all its objects: read
    // once and kept for the process (the type library stays loaded with
    // it). Read again after a failure, which is raised.
    struct ClassDispatch {
        ComPtr<ITypeInfo> typeInfo;
        ComPtr<ITypeInfo> vtable;  // the vtable half of a dual interface
        DirectCalls calls;
    };
    static const ClassDispatch& Dispatch() {
        static ClassDispatch* volatile kept = nullptr;
        if (ClassDispatch* d = kept) return *d;
        std::unique_ptr<ClassDispatch> read(new ClassDispatch);
        Check(Derived::LoadTypeInfo(read->typeInfo.Out()));
        Check(VtableTypeInfo(read->typeInfo.Get(), read->vtable.Out()));
        read->calls.Load(read->vtable.Get(), Derived::kOutputParameters);
        // Another thread may have been first: its copy is the one kept.
        if (InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&kept), read.get(), nullptr))
            return *kept;
        return *read.release();
    }
};

}  // namespace vemo
