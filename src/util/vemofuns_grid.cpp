// VemoFuns: grid row merging.
#include "util/vemofuns.h"

namespace vemo {

STDMETHODIMP VemoFuns::MergeRowData(IDispatch**, LONG, BSTR, BSTR*) { return Member([] { RaiseNotAvailable(L"VemoFuns.MergeRowData"); }); }
STDMETHODIMP VemoFuns::MergeRowDataV5(IDispatch**, LONG, BSTR, BSTR*) { return Member([] { RaiseNotAvailable(L"VemoFuns.MergeRowDataV5"); }); }

}  // namespace vemo
