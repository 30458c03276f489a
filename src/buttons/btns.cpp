#include "buttons/btns.h"

namespace vemo {

const IID* const Btns::kInterfaces[] = {&IID__Btns, nullptr};
const wchar_t Btns::kErrorSource[] = L"VemoFunction.Btns";

STDMETHODIMP Btns::Add(BSTR*, BSTR*, BSTR*, LONG*, LONG*, LONG*, LONG*, _Btn**) { return Member([] { RaiseNotAvailable(L"Btns.Add"); }); }
STDMETHODIMP Btns::get_Item(VARIANT*, _Btn**) { return Member([] { RaiseNotAvailable(L"Btns.Item"); }); }
STDMETHODIMP Btns::get_Count(LONG*) { return Member([] { RaiseNotAvailable(L"Btns.Count"); }); }
STDMETHODIMP Btns::Remove(VARIANT*) { return Member([] { RaiseNotAvailable(L"Btns.Remove"); }); }
STDMETHODIMP Btns::get_NewEnum(IUnknown**) { return Member([] { RaiseNotAvailable(L"Btns.NewEnum"); }); }

}  // namespace vemo
