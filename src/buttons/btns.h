// Btns: an ordered, keyed collection of toolbar button descriptors.
#pragma once
#include "frame/dispatch_object.h"
#include "VemoFunction_h.h"

namespace vemo {

class Btns : public DispatchObject<Btns, _Btns> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];

    STDMETHODIMP Add(BSTR* fPicture, BSTR* sPicture, BSTR* toolTip, LONG* isBtn, LONG* left, LONG* top, LONG* opt,
                     _Btn** result) override;
    STDMETHODIMP get_Item(VARIANT* indexKey, _Btn** result) override;
    STDMETHODIMP get_Count(LONG* result) override;
    STDMETHODIMP Remove(VARIANT* indexKey) override;
    STDMETHODIMP get_NewEnum(IUnknown** result) override;
};

}  // namespace vemo
