#include "collection/collection.h"
#include "collection/locale_key_folding.h"
#include "frame/out_values.h"

#include <memory>
#include <optional>

namespace vemo {
namespace {

using Cursor = KeyedList<Variant>::Cursor;

bool IsMissing(const VARIANT* v) {
    v = Deref(v);
    return !v || (V_VT(v) == VT_ERROR && V_ERROR(v) == DISP_E_PARAMNOTFOUND);
}

// The argument's value with any reference resolved.
Variant ValueOf(const VARIANT* arg) {
    Variant value;
    Check(VariantCopyInd(value.Get(), const_cast<VARIANT*>(arg)));
    return value;
}

// An index argument (Item, Remove, Before, After) as a locator. `value`
// keeps the key text alive for as long as the locator is used.
Locator LocatorOf(const VARIANT* arg, Variant& value) {
    if (!arg) RaiseNumber(kErrInvalidArgument);
    value = ValueOf(arg);
    if (value.Type() == VT_BSTR) return Locator::Key(View(V_BSTR(value.Get())));
    if (value.Type() == VT_ERROR) RaiseNumber(kErrTypeMismatch);  // VT_ERROR would coerce to its code
    Variant position;
    const HRESULT hr = VariantChangeTypeEx(position.Get(), value.Get(), LOCALE_USER_DEFAULT, 0, VT_I4);
    if (hr == DISP_E_OVERFLOW) RaiseNumber(kErrSubscript);  // far outside 1..Count
    if (FAILED(hr)) RaiseNumber(kErrTypeMismatch);
    return Locator::Position(V_I4(position.Get()));
}

// The enumerator that _NewEnum hands out: a cursor of the collection, which
// stays valid whatever happens to the collection (see KeyedList::Cursor).
class CollectionEnum final : public IEnumVARIANT {
public:
    explicit CollectionEnum(Cursor cursor) : cursor_(std::move(cursor)) { ObjectCreated(); }
    ~CollectionEnum() { ObjectDestroyed(); }
    CollectionEnum(const CollectionEnum&) = delete;
    CollectionEnum& operator=(const CollectionEnum&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumVARIANT)) {
            *out = static_cast<IEnumVARIANT*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    // Copies of the next items, oldest first; on a failure nothing is handed
    // out and the enumerator stays where it was.
    STDMETHODIMP Next(ULONG count, VARIANT* items, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (count == 0) return S_OK;
        if (!items) return E_POINTER;
        ULONG done = 0;
        Cursor saved = cursor_;
        try {
            cursor_.Next(count, [&](const Variant& item) {
                VariantInit(&items[done]);
                const HRESULT hr = VariantCopy(&items[done], const_cast<VARIANT*>(item.Get()));
                if (FAILED(hr)) throw ComError{hr};
                ++done;
            });
        } catch (...) {
            for (ULONG i = 0; i < done; ++i) VariantClear(&items[i]);
            cursor_ = std::move(saved);
            try {
                throw;
            } catch (const ComError& e) {
                return e.hr;
            } catch (...) {
                return E_OUTOFMEMORY;
            }
        }
        if (fetched) *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override { return cursor_.Skip(count) == count ? S_OK : S_FALSE; }
    STDMETHODIMP Reset() override {
        cursor_.Reset();
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumVARIANT** out) override {
        if (!out) return E_POINTER;
        *out = new (std::nothrow) CollectionEnum(cursor_.Clone());
        if (!*out) return E_OUTOFMEMORY;
        (*out)->AddRef();
        return S_OK;
    }

private:
    volatile LONG refs_ = 0;
    Cursor cursor_;
};

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
        Variant value = ValueOf(item);
        Variant keyValue;
        std::optional<std::u16string_view> keyText;
        if (!IsMissing(key)) {
            keyValue = ValueOf(key);
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
        auto* enumerator = new CollectionEnum(items_.Enumerate());
        *result = static_cast<IEnumVARIANT*>(enumerator);
        enumerator->AddRef();
    });
}

ComPtr<_Collection> CreateCollection() { return Collection::New(); }

}  // namespace vemo
