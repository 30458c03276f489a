// VemoFuns: the ERP database methods.
#include "util/vemofuns.h"

namespace vemo {

STDMETHODIMP VemoFuns::GetICMaxNum(BSTR, _Connection*, LONG*) { return Member([] { RaiseNotAvailable(L"VemoFuns.GetICMaxNum"); }); }
STDMETHODIMP VemoFuns::GetICBillNo(Enu_BillType, _Connection*, BSTR*) { return Member([] { RaiseNotAvailable(L"VemoFuns.GetICBillNo"); }); }
STDMETHODIMP VemoFuns::GetFOperate(BSTR, _Connection*, LONG*) { return Member([] { RaiseNotAvailable(L"VemoFuns.GetFOperate"); }); }
STDMETHODIMP VemoFuns::GetFOperateNew(BSTR, _Connection*, BSTR*, LONG*) { return Member([] { RaiseNotAvailable(L"VemoFuns.GetFOperateNew"); }); }
STDMETHODIMP VemoFuns::GetStockNumberByID(BSTR, BSTR, BSTR, BSTR, _Connection*, double*) { return Member([] { RaiseNotAvailable(L"VemoFuns.GetStockNumberByID"); }); }
STDMETHODIMP VemoFuns::OpenAccessDSN(BSTR, VARIANT_BOOL, VARIANT*) { return Member([] { RaiseNotAvailable(L"VemoFuns.OpenAccessDSN"); }); }
STDMETHODIMP VemoFuns::PeriodFromDate(DATE, _Connection*, short*) { return Member([] { RaiseNotAvailable(L"VemoFuns.PeriodFromDate"); }); }

}  // namespace vemo
