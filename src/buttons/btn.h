// Btn: the descriptor of one toolbar button, a plain record of nine values.
#pragma once
#include "frame/dispatch_object.h"
#include "VemoFunction_h.h"

#include <string>

namespace vemo {

class Btn : public DispatchObject<Btn, _Btn> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];

    STDMETHODIMP get_Top(LONG* v) override;
    STDMETHODIMP put_Top(LONG v) override;
    STDMETHODIMP get_Left(LONG* v) override;
    STDMETHODIMP put_Left(LONG v) override;
    STDMETHODIMP get_ISBtn(LONG* v) override;
    STDMETHODIMP put_ISBtn(LONG v) override;
    STDMETHODIMP get_ToolTip(BSTR* v) override;
    STDMETHODIMP put_ToolTip(BSTR v) override;
    STDMETHODIMP get_FPicture(BSTR* v) override;
    STDMETHODIMP put_FPicture(BSTR v) override;
    STDMETHODIMP get_SPicture(BSTR* v) override;
    STDMETHODIMP put_SPicture(BSTR v) override;
    STDMETHODIMP get_Opt(LONG* v) override;
    STDMETHODIMP put_Opt(LONG v) override;
    STDMETHODIMP get_ID(LONG* v) override;
    STDMETHODIMP put_ID(LONG v) override;
    STDMETHODIMP get_BLoad(VARIANT_BOOL* v) override;
    STDMETHODIMP put_BLoad(VARIANT_BOOL v) override;

private:
    LONG top_ = 0;
    LONG left_ = 0;
    LONG isBtn_ = 0;
    std::u16string toolTip_;
    std::u16string fPicture_;
    std::u16string sPicture_;
    LONG opt_ = 0;
    LONG id_ = 0;
    VARIANT_BOOL bLoad_ = VARIANT_FALSE;
};

}  // namespace vemo
