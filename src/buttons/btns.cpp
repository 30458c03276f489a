#include "buttons/btns.h"
#include "buttons/btn.h"
#include "collection/collection.h"
#include "frame/out_values.h"

namespace vemo {
namespace {

template <class T>
const T& In(const T* p) {
    if (!p) RaiseNumber(kErrInvalidArgument);
    return *p;
}

}  // namespace

const IID* const Btns::kInterfaces[] = {&IID__Btns, nullptr};
const wchar_t Btns::kErrorSource[] = L"VemoFunction.Btns";

HRESULT Btns::Initialize() {
    return Member([&] { items_ = CreateCollection(); });
}

// The arguments are only read: by-reference in the signature, never written.
STDMETHODIMP Btns::Add(BSTR* fPicture, BSTR* sPicture, BSTR* toolTip, LONG* isBtn, LONG* left, LONG* top, LONG* opt,
                       _Btn** result) {
    return Member([&] {
        RequireOut(result);
        ComPtr<_Btn> button = Btn::New();
        Check(button->put_FPicture(In(fPicture)));
        Check(button->put_SPicture(In(sPicture)));
        Check(button->put_ToolTip(In(toolTip)));
        Check(button->put_ISBtn(In(isBtn)));
        Check(button->put_Left(In(left)));
        Check(button->put_Top(In(top)));
        Check(button->put_Opt(In(opt)));
        Check(button->put_ID(numbering_.NextId()));
        if (numbering_.NextIsFirst()) Check(button->put_BLoad(VARIANT_TRUE));

        Variant item = Variant::Object(button.Get());
        Variant key = Variant::Text(numbering_.NextKey());
        VARIANT missing = raw::Missing();
        Check(items_->Add(item.Get(), key.Get(), &missing, &missing));

        // The button stays in the collection even when the counter cannot
        // move on: the overflow is raised after the add, as the counter's
        // increment fails.
        Check(numbering_.Advance());
        *result = button.Detach();
    });
}

STDMETHODIMP Btns::get_Item(VARIANT* indexKey, _Btn** result) {
    return Member([&] {
        RequireOut(result);
        Variant item;
        Check(items_->Item(indexKey, item.Get()));
        ComPtr<_Btn> button;
        if (item.Type() != VT_DISPATCH || !V_DISPATCH(item.Get()) ||
            FAILED(V_DISPATCH(item.Get())->QueryInterface(IID__Btn, button.OutVoid())))
            RaiseNumber(kErrTypeMismatch);
        *result = button.Detach();
    });
}

STDMETHODIMP Btns::get_Count(LONG* result) {
    return Member([&] {
        RequireOut(result);
        LONG count = 0;
        Check(items_->Count(&count));
        *result = count;
    });
}

STDMETHODIMP Btns::Remove(VARIANT* indexKey) {
    return Member([&] { Check(items_->Remove(indexKey)); });
}

STDMETHODIMP Btns::get_NewEnum(IUnknown** result) {
    return Member([&] {
        RequireOut(result);
        *result = nullptr;
        Check(items_->_NewEnum(result));
    });
}

}  // namespace vemo
