// VemoFuns: the stored form of a user's password.
#include "util/vemofuns.h"

namespace vemo {

STDMETHODIMP VemoFuns::GeneratePwd(BSTR, BSTR, short, VARIANT*) { return Member([] { RaiseNotAvailable(L"VemoFuns.GeneratePwd"); }); }

}  // namespace vemo
