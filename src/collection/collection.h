// The library's keyed automation collection: the `_Collection` object that
// `Btns` keeps its buttons in and `IniFile` hands out as its Keys. The rules
// (positions, keys, insertion, safe enumeration) are KeyedList's; this class
// turns automation arguments into them and its statuses into errors 5, 7, 9
// and 457. Keys compare as CompareStringW with NORM_IGNORECASE under the
// user's locale (LocaleKeyFolding).
//
// Arguments: a text (VT_BSTR, also by reference) selects by key; any other
// value is coerced to a 32-bit position by the automation rules (so 2.5
// selects position 2, "2" is a key, an object stands for its default value);
// values that do not coerce raise a type mismatch (13), numbers beyond the
// 32-bit range an out-of-range error (9). A key given to Add must be a text.
#pragma once
#include "frame/auto_values.h"
#include "frame/dispatch_object.h"
#include "collection/keyed_list.h"
#include "outside_types.h"

namespace vemo {

class Collection : public DispatchObject<Collection, _Collection> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];
    static HRESULT LoadTypeInfo(ITypeInfo** info) { return LoadCarriedTypeInfo(IID__Collection, info); }

    Collection();

    STDMETHODIMP Item(VARIANT* index, VARIANT* result) override;
    STDMETHODIMP Add(VARIANT* item, VARIANT* key, VARIANT* before, VARIANT* after) override;
    STDMETHODIMP Count(LONG* result) override;
    STDMETHODIMP Remove(VARIANT* index) override;
    STDMETHODIMP _NewEnum(IUnknown** result) override;

private:
    KeyedList<Variant> items_;
};

// A new empty collection; raises on failure (for owners such as IniFile).
ComPtr<_Collection> CreateCollection();

}  // namespace vemo
