// RAII owners for the automation values (BSTR, VARIANT, SAFEARRAY) and the
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

    VARIANT* Get() { return &v_; }
    const VARIANT* Get() const { return &v_; }
    VARIANT* Out() { Clear(); return &v_; }
    VARTYPE Type() const { return V_VT(&v_); }
    void Clear() { VariantClear(&v_); }
    // Hands the value to an out-parameter (which must be uninitialised or empty).
    void DetachTo(VARIANT* out) { *out = v_; VariantInit(&v_); }

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

}  // namespace vemo
