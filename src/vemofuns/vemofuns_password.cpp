// VemoFuns: the stored 64-byte form of a user's password.
#include "frame/ansi.h"
#include "frame/out_values.h"
#include "util/password.h"
#include "vemofuns/vemofuns.h"

#include <cstring>

namespace vemo {

STDMETHODIMP VemoFuns::GeneratePwd(BSTR strUser, BSTR strPwd, short nUID, VARIANT* result) {
    return Member([&] {
        RequireOut(result);
        Variant value;
        std::array<uint8_t, kPasswordBytes> bytes{};
        // Every failure (a name or password too long) gives the empty text.
        bool mixed = Trapped([&] { bytes = Take(MixPassword(ToAnsi(View(strUser)), ToAnsi(View(strPwd)), nUID)); });
        SAFEARRAYBOUND bound = {64, 1};
        SAFEARRAY* array = mixed ? SafeArrayCreate(VT_UI1, 1, &bound) : nullptr;
        if (array) {
            void* data = nullptr;
            if (SUCCEEDED(SafeArrayAccessData(array, &data))) {
                memcpy(data, bytes.data(), bytes.size());
                SafeArrayUnaccessData(array);
                V_VT(value.Get()) = VT_ARRAY | VT_UI1;
                V_ARRAY(value.Get()) = array;
            } else {
                SafeArrayDestroy(array);
            }
        }
        if (V_VT(value.Get()) == VT_EMPTY) {
            V_VT(value.Get()) = VT_BSTR;
            V_BSTR(value.Get()) = Bstr(u"").Detach();
        }
        SetOut(result, std::move(value));
    });
}

}  // namespace vemo
