// RAII owners for the automation values (BSTR, VARIANT, SAFEARRAY,
// EXCEPINFO), the makers of VARIANTs of each automation type, and the
// conversions between BSTR and the portable core's UTF-16 text.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>
#include <string_view>

namespace vemo {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "automation text is UTF-16");

// A null BSTR is the empty text.
inline std::u16string_view View(BSTR s) {
    return s ? std::u16string_view(reinterpret_cast<const char16_t*>(s), SysStringLen(s)) : std::u16string_view();
}
inline std::wstring WideText(BSTR s) { return s ? std::wstring(s, SysStringLen(s)) : std::wstring(); }
// A wide string as UTF-16 text; it must outlive the view.
inline std::u16string_view Utf16(const std::wstring& s) {
    return std::u16string_view(reinterpret_cast<const char16_t*>(s.data()), s.size());
}
std::u16string_view Utf16(std::wstring&&) = delete;

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::u16string_view s);
    explicit Bstr(const wchar_t* s);
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& o) noexcept : s_(o.s_) { o.s_ = nullptr; }
    Bstr& operator=(Bstr&& o) noexcept { if (this != &o) { Reset(); s_ = o.s_; o.s_ = nullptr; } return *this; }
    ~Bstr() { Reset(); }

    static Bstr Attach(BSTR s) { Bstr b; b.s_ = s; return b; }
    BSTR Get() const { return s_; }
    BSTR Detach() { BSTR s = s_; s_ = nullptr; return s; }
    BSTR* Out() { Reset(); return &s_; }
    // The text passed on by reference: whatever the callee leaves there
    // (having freed this text and put another, as a ByRef parameter of a
    // component written in VB does) is then owned here.
    BSTR* InOut() { return &s_; }
    void Reset() { if (s_) { SysFreeString(s_); s_ = nullptr; } }
    std::u16string_view View() const { return vemo::View(s_); }

private:
    BSTR s_ = nullptr;
};

// Plain VARIANTs of the automation types, for argument lists and
// out-parameters. Those that carry a pointer (text, object, reference) do
// not own it: what they point at must outlive them, or a Variant adopts
// them (Variant::Adopt).
namespace raw {
inline VARIANT Of(VARTYPE type) { VARIANT v; VariantInit(&v); V_VT(&v) = type; return v; }
inline VARIANT Long(LONG x) { VARIANT v = Of(VT_I4); V_I4(&v) = x; return v; }
inline VARIANT Short(SHORT x) { VARIANT v = Of(VT_I2); V_I2(&v) = x; return v; }
inline VARIANT Double(double x) { VARIANT v = Of(VT_R8); V_R8(&v) = x; return v; }
inline VARIANT Bool(bool x) { VARIANT v = Of(VT_BOOL); V_BOOL(&v) = x ? VARIANT_TRUE : VARIANT_FALSE; return v; }
inline VARIANT Date(DATE x) { VARIANT v = Of(VT_DATE); V_DATE(&v) = x; return v; }
inline VARIANT Text(BSTR x) { VARIANT v = Of(VT_BSTR); V_BSTR(&v) = x; return v; }
// Null pointer: Nothing.
inline VARIANT Object(IDispatch* x) { VARIANT v = Of(VT_DISPATCH); V_DISPATCH(&v) = x; return v; }
inline VARIANT Unknown(IUnknown* x) { VARIANT v = Of(VT_UNKNOWN); V_UNKNOWN(&v) = x; return v; }
inline VARIANT Error(SCODE x) { VARIANT v = Of(VT_ERROR); V_ERROR(&v) = x; return v; }
inline VARIANT Decimal(const DECIMAL& x) { VARIANT v; V_DECIMAL(&v) = x; V_VT(&v) = VT_DECIMAL; return v; }
// VT_ARRAY | element.
inline VARIANT Array(SAFEARRAY* x, VARTYPE element) { VARIANT v = Of(VT_ARRAY | element); V_ARRAY(&v) = x; return v; }
// An optional argument left out.
inline VARIANT Missing() { return Error(DISP_E_PARAMNOTFOUND); }
// VT_BYREF | type: a reference to the VARIANT itself for VT_VARIANT, else
// to the value it holds, which must be of `type`.
inline VARIANT Reference(VARIANT& to, VARTYPE type) {
    VARIANT v = Of(VT_BYREF | type);
    if (type == VT_VARIANT) V_VARIANTREF(&v) = &to;
    else V_BYREF(&v) = &V_I4(&to);  // every scalar starts at the union's address
    return v;
}
}  // namespace raw

class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }
    Variant& operator=(Variant&& o) noexcept {
        if (this != &o) { Clear(); v_ = o.v_; VariantInit(&o.v_); }
        return *this;
    }
    ~Variant() { Clear(); }

    // Owning values of each automation type. Text and objects are copied
    // (a reference of its own); Adopt takes a VARIANT as it is.
    static Variant Adopt(const VARIANT& v) { Variant r; r.v_ = v; return r; }
    static Variant Long(LONG x) { return Adopt(raw::Long(x)); }
    static Variant Short(SHORT x) { return Adopt(raw::Short(x)); }
    static Variant Double(double x) { return Adopt(raw::Double(x)); }
    static Variant Bool(bool x) { return Adopt(raw::Bool(x)); }
    static Variant Date(DATE x) { return Adopt(raw::Date(x)); }
    static Variant Decimal(const DECIMAL& x) { return Adopt(raw::Decimal(x)); }
    static Variant Text(std::u16string_view s) { return Adopt(raw::Text(Bstr(s).Detach())); }
    static Variant Text(const wchar_t* s) { return Adopt(raw::Text(Bstr(s).Detach())); }
    static Variant Text(Bstr&& s) { return Adopt(raw::Text(s.Detach())); }
    static Variant Object(IDispatch* p) {
        if (p) p->AddRef();
        return Adopt(raw::Object(p));
    }
    static Variant Nothing() { return Adopt(raw::Object(nullptr)); }
    static Variant Null() { return Adopt(raw::Of(VT_NULL)); }
    static Variant Missing() { return Adopt(raw::Missing()); }
    // A copy of `v` with any reference resolved (VariantCopyInd).
    static Variant CopyOf(const VARIANT& v);

    VARIANT* Get() { return &v_; }
    const VARIANT* Get() const { return &v_; }
    VARIANT* Out() { Clear(); return &v_; }
    VARTYPE Type() const { return V_VT(&v_); }
    void Clear() { VariantClear(&v_); }
    // Gives the value up to the caller, which then owns it.
    VARIANT Detach() { VARIANT v = v_; VariantInit(&v_); return v; }
    // Hands the value to an out-parameter (which must be uninitialised or empty).
    void DetachTo(VARIANT* out) { *out = Detach(); }

private:
    VARIANT v_;
};

class SafeArray {
public:
    SafeArray() = default;
    explicit SafeArray(SAFEARRAY* a) : a_(a) {}
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    ~SafeArray() { if (a_) SafeArrayDestroy(a_); }
    SAFEARRAY* Get() const { return a_; }
    SAFEARRAY* Detach() { SAFEARRAY* a = a_; a_ = nullptr; return a; }

private:
    SAFEARRAY* a_ = nullptr;
};

// The EXCEPINFO an Invoke fills in: its strings are freed however the
// caller's handling of them ends.
class ExcepInfo {
public:
    ExcepInfo() = default;
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
    ~ExcepInfo() { Clear(); }

    EXCEPINFO* Get() { return &e_; }
    // Runs the callee's deferred fill-in once, so the fields can be read.
    EXCEPINFO& Filled() {
        if (e_.pfnDeferredFillIn) {
            auto fill = e_.pfnDeferredFillIn;
            e_.pfnDeferredFillIn = nullptr;
            fill(&e_);
        }
        return e_;
    }
    void Clear() {
        SysFreeString(e_.bstrSource);
        SysFreeString(e_.bstrDescription);
        SysFreeString(e_.bstrHelpFile);
        e_ = EXCEPINFO{};
    }

private:
    EXCEPINFO e_ = {};
};

// Unwraps VT_BYREF VARIANTs (one level, as automation allows).
const VARIANT* Deref(const VARIANT* v);

// An optional argument left out: no VARIANT at all, or VT_ERROR with
// DISP_E_PARAMNOTFOUND, also through a VARIANT by reference (what a
// caller passes on when it forwards its own omitted argument).
bool IsMissing(const VARIANT* v);

// The object a VARIANT carries: directly, by reference, or in a VARIANT by
// reference. Null for anything else and for Nothing.
IUnknown* CarriedObject(const VARIANT* v);

}  // namespace vemo
