#include "login_properties/mmts.h"
#include "frame/errors.h"
#include "frame/late_bound.h"

namespace vemo::MMTS {

namespace {
constexpr int kErrObjectRequired = 424;
}

Variant GetShareProperty(const wchar_t* name) {
    LONG pid = static_cast<LONG>(GetCurrentProcessId());
    ComPtr<IDispatch> props = CreateObject(L"Trellis.ShareProps");
    Bstr propertyName(name);
    // The first read only tells whether the property is an object; the
    // second one is the result.
    bool object = IsObject(*Call(props.Get(), L"GetProperty", {Arg::LongRef(&pid), Arg::TextRef(propertyName)}).Get());
    Variant value = Call(props.Get(), L"GetProperty", {Arg::LongRef(&pid), Arg::TextRef(propertyName)});
    Variant result;
    if (object) {
        if (!IsObject(*value.Get())) Raise(ControlError(kErrObjectRequired), L"Object required");
    }
    Check(VariantCopyInd(result.Get(), value.Get()));
    return result;
}

Bstr GetPropsString() {
    Variant value = GetShareProperty(L"PropsString");
    return ToText(*value.Get());
}

}  // namespace vemo::MMTS
