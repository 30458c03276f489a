// Calls on outside automation objects by member name: GetIDsOfNames, then
// Invoke with the arguments in reverse order. A failure is raised in the
// calling member with the callee's HRESULT and error text (from EXCEPINFO or
// its IErrorInfo), so it reaches the outermost caller unchanged.
#pragma once
#include "frame/auto_values.h"
#include "frame/com_ptr.h"

#include <initializer_list>
#include <oaidl.h>

namespace vemo {

// An argument of a late-bound call. It never owns what it refers to: the
// caller keeps the values alive for the duration of the call.
class Arg {
public:
    static Arg Value(const VARIANT& v) { return Arg(v); }
    static Arg Long(LONG v) { return Arg(raw::Long(v)); }
    static Arg Double(double v) { return Arg(raw::Double(v)); }
    static Arg Bool(bool v) { return Arg(raw::Bool(v)); }
    static Arg Date(DATE v) { return Arg(raw::Date(v)); }
    static Arg Text(BSTR s) { return Arg(raw::Text(s)); }            // VT_BSTR by value
    static Arg Object(IDispatch* p) { return Arg(raw::Object(p)); }
    static Arg LongRef(LONG* p);                                    // VT_BYREF | VT_I4
    static Arg TextRef(Bstr& s);  // VT_BYREF | VT_BSTR; `s` owns what the callee leaves there
    static Arg VariantRef(VARIANT* p) { return Arg(raw::Reference(*p, VT_VARIANT)); }
    static Arg Missing() { return Arg(raw::Missing()); }
    const VARIANT& Get() const { return v_; }

private:
    explicit Arg(const VARIANT& v) : v_(v) {}
    VARIANT v_;
};

// Calls `name` as a method (or property get) and returns its result.
Variant Call(IDispatch* object, const wchar_t* name, std::initializer_list<Arg> args = {});
// Reads a property.
Variant Get(IDispatch* object, const wchar_t* name, std::initializer_list<Arg> args = {});
// Writes a property (DISPATCH_PROPERTYPUT).
void Put(IDispatch* object, const wchar_t* name, const Arg& value);

// The standard enumerator of a collection (DISPID_NEWENUM), as For Each
// asks for it.
ComPtr<IEnumVARIANT> NewEnum(IDispatch* collection);

// The object a VARIANT holds (VT_DISPATCH, or VT_UNKNOWN that answers
// IDispatch); raises a type mismatch for anything else and for Nothing.
ComPtr<IDispatch> AsObject(const VARIANT& v);
// True when the VARIANT holds an object reference (which may be Nothing).
bool IsObject(const VARIANT& v);

// Coercions by the automation rules (VariantChangeTypeEx, user locale).
Variant ChangeType(const VARIANT& v, VARTYPE type);
LONG ToLong(const VARIANT& v);
double ToDouble(const VARIANT& v);
bool ToBool(const VARIANT& v);
Bstr ToText(const VARIANT& v);

// Creates an outside component by ProgID and asks for IDispatch.
ComPtr<IDispatch> CreateObject(const wchar_t* progId);

}  // namespace vemo
