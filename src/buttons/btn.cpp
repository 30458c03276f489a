#include "buttons/btn.h"
#include "frame/out_values.h"

namespace vemo {

const IID* const Btn::kInterfaces[] = {&IID__Btn, nullptr};
const wchar_t Btn::kErrorSource[] = L"VemoFunction.Btn";

// Each property stores what it is given: no check, conversion or side effect.
#define VEMO_BTN_VALUE(Name, Type, field)                                                  \
    STDMETHODIMP Btn::get_##Name(Type* v) { return Member([&] { SetOut(v, field); }); }     \
    STDMETHODIMP Btn::put_##Name(Type v) { field = v; return S_OK; }
#define VEMO_BTN_TEXT(Name, field)                                                          \
    STDMETHODIMP Btn::get_##Name(BSTR* v) { return Member([&] { SetOut(v, field); }); }     \
    STDMETHODIMP Btn::put_##Name(BSTR v) { return Member([&] { field = View(v); }); }

VEMO_BTN_VALUE(Top, LONG, top_)
VEMO_BTN_VALUE(Left, LONG, left_)
VEMO_BTN_VALUE(ISBtn, LONG, isBtn_)
VEMO_BTN_TEXT(ToolTip, toolTip_)
VEMO_BTN_TEXT(FPicture, fPicture_)
VEMO_BTN_TEXT(SPicture, sPicture_)
VEMO_BTN_VALUE(Opt, LONG, opt_)
VEMO_BTN_VALUE(ID, LONG, id_)
VEMO_BTN_VALUE(BLoad, VARIANT_BOOL, bLoad_)

#undef VEMO_BTN_VALUE
#undef VEMO_BTN_TEXT

}  // namespace vemo
