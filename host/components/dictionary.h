// Pyx.Dictionary: an ordered dictionary of named automation values. Names
// compare exactly; entries keep the order in which they were first stored.
#pragma once
#include "frame/auto_values.h"
#include "frame/dispatch_object.h"
#include "host_components_h.h"

#include <string>
#include <utility>
#include <vector>

namespace testhost {

class Dictionary : public vemo::DispatchObject<Dictionary, IPyxDictionary> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];
    // The interface is described by the Pyx library, the DLL's second one.
    static HRESULT LoadTypeInfo(ITypeInfo** info);

    STDMETHODIMP get_EntryCount(LONG* count) override;
    STDMETHODIMP KeyAt(LONG position, BSTR* name) override;
    STDMETHODIMP ValueOf(BSTR name, VARIANT* value) override;
    STDMETHODIMP SetValue(BSTR name, VARIANT* value) override;
    STDMETHODIMP SetObject(BSTR name, VARIANT* object) override;
    STDMETHODIMP RemoveEntry(BSTR name) override;
    STDMETHODIMP Lookup(BSTR name, VARIANT defaultValue, VARIANT* value) override;

    // Stores a copy of `value` (by-reference values are copied through).
    void Store(std::u16string_view name, const VARIANT& value);

private:
    const VARIANT* Find(std::u16string_view name) const;

    std::vector<std::pair<std::u16string, vemo::Variant>> entries_;
};

// The value that Lookup returns for a stored value and the caller's default:
// a numeric default gives a number, a text default gives text or a Boolean,
// any other default leaves the stored value as it is.
vemo::Variant TypedLookupResult(const VARIANT& stored, const VARIANT& defaultValue);

}  // namespace testhost
