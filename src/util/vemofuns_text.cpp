// VemoFuns: string and null utilities.
#include "util/vemofuns.h"

namespace vemo {

STDMETHODIMP VemoFuns::AddStrNum(BSTR*, BSTR*) { return Member([] { RaiseNotAvailable(L"VemoFuns.AddStrNum"); }); }
STDMETHODIMP VemoFuns::CNulls(VARIANT, VARIANT, VARIANT*) { return Member([] { RaiseNotAvailable(L"VemoFuns.CNulls"); }); }
STDMETHODIMP VemoFuns::IsNull(VARIANT, VARIANT_BOOL*) { return Member([] { RaiseNotAvailable(L"VemoFuns.IsNull"); }); }
STDMETHODIMP VemoFuns::MakeComString(BSTR, BSTR, BSTR*) { return Member([] { RaiseNotAvailable(L"VemoFuns.MakeComString"); }); }
STDMETHODIMP VemoFuns::GetComString(BSTR, BSTR*) { return Member([] { RaiseNotAvailable(L"VemoFuns.GetComString"); }); }
STDMETHODIMP VemoFuns::GetString(BSTR, short, BSTR, BSTR*) { return Member([] { RaiseNotAvailable(L"VemoFuns.GetString"); }); }
STDMETHODIMP VemoFuns::ISIncludeChinese(BSTR, VARIANT_BOOL*) { return Member([] { RaiseNotAvailable(L"VemoFuns.ISIncludeChinese"); }); }

}  // namespace vemo
