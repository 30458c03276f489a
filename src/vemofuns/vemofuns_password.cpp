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
        std::array<uint8_t, kPasswordBytes> bytes{};
        // Every failure (a name or password too long) gives the empty text.
        bool mixed = Trapped([&] { bytes = Take(MixPassword(ToAnsi(View(strUser)), ToAnsi(View(strPwd)), nUID)); });
        // The 64 bytes, numbered from 1; the empty text when they cannot be had.
        SAFEARRAYBOUND bound = {64, 1};
        SafeArray array(mixed ? SafeArrayCreate(VT_UI1, 1, &bound) : nullptr);
        void* data = nullptr;
        if (array.Get() && SUCCEEDED(SafeArrayAccessData(array.Get(), &data))) {
            memcpy(data, bytes.data(), bytes.size());
            SafeArrayUnaccessData(array.Get());
            SetOut(result, Variant::Adopt(raw::Array(array.Detach(), VT_UI1)));
        } else {
            SetOut(result, Variant::Text(u""));
        }
    });
}

}  // namespace vemo
