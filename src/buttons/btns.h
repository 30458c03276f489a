// Btns: an ordered, keyed collection of toolbar button descriptors. The
// buttons live in a keyed collection object under the decimal text of their
// ID; the add counter (ButtonNumbering) numbers them and marks the first.
#pragma once
#include "buttons/button_numbering.h"
#include "frame/dispatch_object.h"
#include "VemoFunction_h.h"

namespace vemo {

class Btns : public DispatchObject<Btns, _Btns> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];

    HRESULT Initialize();

    STDMETHODIMP Add(BSTR* fPicture, BSTR* sPicture, BSTR* toolTip, LONG* isBtn, LONG* left, LONG* top, LONG* opt,
                     _Btn** result) override;
    STDMETHODIMP get_Item(VARIANT* indexKey, _Btn** result) override;
    STDMETHODIMP get_Count(LONG* result) override;
    STDMETHODIMP Remove(VARIANT* indexKey) override;
    STDMETHODIMP get_NewEnum(IUnknown** result) override;

private:
    // The test build's hooks set the counter; no automation client can.
    friend struct BtnsTestAccess;

    ComPtr<_Collection> items_;
    ButtonNumbering numbering_;
};

}  // namespace vemo
