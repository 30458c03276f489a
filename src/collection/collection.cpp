#include "collection/collection.h"
#include "collection/locale_key_folding.h"
#include "frame/enum_variant.h"
#include "frame/out_values.h"

#include <memory>
#include <optional>

namespace vemo {
namespace {

// An index argument (Item, Remove, Before, After) as a locator. `value`
// keeps the key text alive for as long as the locator is used.
Locator LocatorOf(const VARIANT* arg, Variant& value) {
    if (!arg) RaiseNumber(kErrInvalidArgument);
    value = Variant::CopyOf(*arg);
    if (value.Type() == VT_BSTR) return Locator::Key(View(V_BSTR(value.Get())));
    if (value.Type() == VT_ERROR) RaiseNumber(kErrTypeMismatch);  // VT_ERROR would coerce to its code
    Variant position;
    const HRESULT hr = VariantChangeTypeEx(position.Get(), value.Get(), LOCALE_USER_DEFAULT, 0, VT_I4);
    if (hr == DISP_E_OVERFLOW) RaiseNumber(kErrSubscript);  // far outside 1..Count
    if (FAILED(hr)) RaiseNumber(kErrTypeMismatch);
    return Locator::Position(V_I4(position.Get()));
}

}  // namespace

const IID* const Collection::kInterfaces[] = {&IID__Collection, nullptr};
const wchar_t Collection::kErrorSource[] = L"VemoFunction.Collection";

Collection::Collection() : items_(std::make_shared<LocaleKeyFolding>()) {}

STDMETHODIMP Collection::Item(VARIANT* index, VARIANT* result) {
    return Member([&] {
        RequireOut(result);
        Variant argument;
        const Locator at = LocatorOf(index, argument);
        const Variant* item = Take(items_.Item(at));
        Variant copy;
        Check(VariantCopy(copy.Get(), const_cast<VARIANT*>(item->Get())));
        VariantInit(result);
        copy.DetachTo(result);
    });
}

STDMETHODIMP Collection::Add(VARIANT* item, VARIANT* key, VARIANT* before, VARIANT* after) {
    return Member([&] {
        // Every argument is read (which may run a caller's code, for an
        // object's default value) before the collection is touched.
        if (!item) RaiseNumber(kErrInvalidArgument);
        Variant value = Variant::CopyOf(*item);
        Variant keyValue;
        std::optional<std::u16string_view> keyText;
        if (!IsMissing(key)) {
            keyValue = Variant::CopyOf(*key);
            if (keyValue.Type() != VT_BSTR) RaiseNumber(kErrTypeMismatch);
            keyText = View(V_BSTR(keyValue.Get()));
        }
        Variant beforeValue, afterValue;
        std::optional<Locator> beforeAt, afterAt;
        if (!IsMissing(before)) beforeAt = LocatorOf(before, beforeValue);
        if (!IsMissing(after)) afterAt = LocatorOf(after, afterValue);
        Check(items_.Add(std::move(value), keyText, beforeAt, afterAt));
    });
}

STDMETHODIMP Collection::Count(LONG* result) {
    return Member([&] { SetOut(result, static_cast<LONG>(items_.Count())); });
}

STDMETHODIMP Collection::Remove(VARIANT* index) {
    return Member([&] {
        Variant argument;
        const Locator at = LocatorOf(index, argument);
        Check(items_.Remove(at));
    });
}

STDMETHODIMP Collection::_NewEnum(IUnknown** result) {
    return Member([&] {
        RequireOut(result);
        // A cursor of the collection, which stays valid whatever happens to
        // the collection (see KeyedList::Cursor).
        *result = NewEnumerator(items_.Enumerate()).Detach();
    });
}

ComPtr<_Collection> CreateCollection() { return Collection::New(); }

}  // namespace vemo
