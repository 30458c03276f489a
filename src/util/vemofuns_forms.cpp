// VemoFuns: form and toolbar helpers.
#include "util/vemofuns.h"

namespace vemo {

STDMETHODIMP VemoFuns::SetWindowOnTop(IDispatch*, VARIANT_BOOL, LONG*, LONG*, LONG*, LONG*) { return Member([] { RaiseNotAvailable(L"VemoFuns.SetWindowOnTop"); }); }
STDMETHODIMP VemoFuns::CenterForm(IDispatch**) { return Member([] { RaiseNotAvailable(L"VemoFuns.CenterForm"); }); }
STDMETHODIMP VemoFuns::SetToolBarLable(IDispatch**, VARIANT_BOOL) { return Member([] { RaiseNotAvailable(L"VemoFuns.SetToolBarLable"); }); }

}  // namespace vemo
