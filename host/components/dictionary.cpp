#include "dictionary.h"
#include "frame/late_bound.h"
#include "frame/module.h"
#include "frame/out_values.h"

namespace testhost {

using namespace vemo;

const IID* const Dictionary::kInterfaces[] = {&IID_IPyxDictionary, nullptr};
const wchar_t Dictionary::kErrorSource[] = L"Pyx.Dictionary";

HRESULT Dictionary::LoadTypeInfo(ITypeInfo** info) {
    *info = nullptr;
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx((ModulePath() + L"\\2").c_str(), REGKIND_NONE, lib.Out());
    if (FAILED(hr)) return hr;
    return lib->GetTypeInfoOfGuid(IID_IPyxDictionary, info);
}

const VARIANT* Dictionary::Find(std::u16string_view name) const {
    for (const auto& e : entries_)
        if (e.first == name) return e.second.Get();
    return nullptr;
}

void Dictionary::Store(std::u16string_view name, const VARIANT& value) {
    Variant copy;
    Check(VariantCopyInd(copy.Get(), const_cast<VARIANT*>(&value)));
    for (auto& e : entries_)
        if (e.first == name) { e.second = std::move(copy); return; }
    entries_.emplace_back(std::u16string(name), std::move(copy));
}

STDMETHODIMP Dictionary::get_EntryCount(LONG* count) {
    return Member([&] { SetOut(count, static_cast<LONG>(entries_.size())); });
}

STDMETHODIMP Dictionary::KeyAt(LONG position, BSTR* name) {
    return Member([&] {
        if (position < 1 || static_cast<size_t>(position) > entries_.size()) RaiseNumber(kErrSubscript);
        SetOut(name, entries_[static_cast<size_t>(position - 1)].first);
    });
}

STDMETHODIMP Dictionary::ValueOf(BSTR name, VARIANT* value) {
    return Member([&] {
        Variant result;
        if (const VARIANT* v = Find(View(name))) Check(VariantCopy(result.Get(), const_cast<VARIANT*>(v)));
        SetOut(value, std::move(result));
    });
}

STDMETHODIMP Dictionary::SetValue(BSTR name, VARIANT* value) {
    return Member([&] {
        if (!value) Raise(E_POINTER, L"SetValue needs a value");
        Store(View(name), *value);
    });
}

STDMETHODIMP Dictionary::SetObject(BSTR name, VARIANT* object) {
    return Member([&] {
        if (!object || !IsObject(*object)) RaiseNumber(kErrTypeMismatch);
        Store(View(name), *object);
    });
}

STDMETHODIMP Dictionary::RemoveEntry(BSTR name) {
    return Member([&] {
        const std::u16string_view n = View(name);
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->first == n) { entries_.erase(it); return; }
    });
}

STDMETHODIMP Dictionary::Lookup(BSTR name, VARIANT defaultValue, VARIANT* value) {
    return Member([&] {
        RequireOut(value);
        const VARIANT* stored = Find(View(name));
        Variant result;
        if (stored) {
            result = TypedLookupResult(*stored, defaultValue);
        } else {
            Check(VariantCopyInd(result.Get(), &defaultValue));
        }
        SetOut(value, std::move(result));
    });
}

namespace {

bool IsNumeric(VARTYPE t) {
    switch (t) {
    case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_I8: case VT_UI8:
    case VT_INT: case VT_UINT: case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL:
        return true;
    default:
        return false;
    }
}

}  // namespace

Variant TypedLookupResult(const VARIANT& stored, const VARIANT& defaultValue) {
    Variant def;
    Check(VariantCopyInd(def.Get(), const_cast<VARIANT*>(&defaultValue)));
    Variant value;
    Check(VariantCopy(value.Get(), const_cast<VARIANT*>(&stored)));
    const VARTYPE want = def.Type();
    const VARTYPE have = value.Type();
    if (IsObject(*value.Get())) return value;
    bool keep;
    if (IsNumeric(want)) keep = IsNumeric(have);
    else if (want == VT_BSTR) keep = have == VT_BSTR || have == VT_BOOL;
    else keep = true;
    if (keep) return value;
    // A stored value of another kind is converted to the default's type; one
    // that does not convert gives the default.
    Variant converted;
    if (SUCCEEDED(VariantChangeTypeEx(converted.Get(), value.Get(), LOCALE_USER_DEFAULT, 0, want))) return converted;
    return def;
}

}  // namespace testhost
