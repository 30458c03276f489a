// The base of the ADO objects: the frame's dispatch object, plus two things
// every ADO object needs.
//  - From(): the C++ object behind an interface pointer, when the pointer is
//    one of ours (a command's connection, an appended parameter).
//  - ADO's collapsed default members: rs("name") and cmd.Parameters(0) reach
//    a property without arguments with arguments meant for the default member
//    of the object it returns; such a call is passed on to that member.
#pragma once
#include "frame/auto_values.h"
#include "frame/dispatch_object.h"
#include "frame/typeinfo.h"
#include "AdoHost_h.h"

namespace adohost {

using vemo::ComPtr;

// Answered by every object of this DLL, with its default interface.
extern const IID IID_AdoHostObject;

template <class Derived, class Interface>
class AdoObject : public vemo::DispatchObject<Derived, Interface> {
    using Base = vemo::DispatchObject<Derived, Interface>;

public:
    void* QueryExtra(REFIID iid) {
        return IsEqualIID(iid, IID_AdoHostObject) ? static_cast<Interface*>(this) : Base::QueryExtra(iid);
    }

    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) noexcept override {
        HRESULT hr = Base::Invoke(id, riid, lcid, flags, params, result, excep, argErr);
        if (hr != DISP_E_BADPARAMCOUNT || !params || params->cArgs == 0 || params->cNamedArgs != 0 ||
            !(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)))
            return hr;
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        vemo::Variant inner;
        if (FAILED(Base::Invoke(id, riid, lcid, DISPATCH_PROPERTYGET, &none, inner.Get(), nullptr, nullptr)) ||
            inner.Type() != VT_DISPATCH || !V_DISPATCH(inner.Get()))
            return hr;
        return V_DISPATCH(inner.Get())->Invoke(DISPID_VALUE, riid, lcid, flags, params, result, excep, argErr);
    }

    // The Derived behind `p`, or null when `p` is not such an object of ours.
    static ComPtr<Derived> From(IUnknown* p) {
        if (!p) return nullptr;
        ComPtr<Interface> typed, ours;
        if (FAILED(p->QueryInterface(*Derived::kInterfaces[0], typed.OutVoid())) ||
            FAILED(p->QueryInterface(IID_AdoHostObject, ours.OutVoid())) || typed.Get() != ours.Get())
            return nullptr;
        return ComPtr<Derived>(static_cast<Derived*>(typed.Get()));
    }

protected:
    AdoObject() = default;
};

}  // namespace adohost
