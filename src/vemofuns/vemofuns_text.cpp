// VemoFuns: string and null utilities. The algorithms live in util/text;
// these members convert the automation values and supply the platform's
// number rules.
#include "frame/ansi.h"
#include "frame/out_values.h"
#include "util/text.h"
#include "vemofuns/vemofuns.h"

namespace vemo {
namespace {

// Numbers as OLE Automation reads and writes them under the user's locale.
class AutomationNumbers final : public NumericText {
public:
    bool TryParse(std::u16string_view text, double& value) const override {
        Bstr s(text);
        return SUCCEEDED(VarR8FromStr(s.Get(), LOCALE_USER_DEFAULT, 0, &value));
    }
    std::u16string Format(double value) const override {
        Bstr s;
        Check(VarBstrFromR8(value, LOCALE_USER_DEFAULT, 0, s.Out()));
        return std::u16string(s.View());
    }
    NumberSymbols Symbols() const override {
        // The platform reads the first character of each separator.
        NumberSymbols symbols;
        wchar_t buffer[16];
        auto first = [&](LCTYPE type, char16_t missing) -> char16_t {
            return GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 16) > 1 ? buffer[0] : missing;
        };
        symbols.decimal = first(LOCALE_SDECIMAL, u'.');
        symbols.thousands = first(LOCALE_STHOUSAND, 0);
        if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, buffer, 16) > 1)
            symbols.currency.assign(buffer, buffer + wcslen(buffer));
        return symbols;
    }
};

}  // namespace

bool IsNullOrBlank(const VARIANT& var) {
    const VARIANT* v = Deref(&var);
    VARTYPE t = V_VT(v) & ~VT_BYREF;
    if (t == VT_NULL) return true;
    if (V_VT(v) == VT_BSTR) return IsBlankText(View(V_BSTR(v)));
    if (V_VT(v) == (VT_BYREF | VT_BSTR)) return IsBlankText(View(V_BSTRREF(v) ? *V_BSTRREF(v) : nullptr));
    return false;
}

STDMETHODIMP VemoFuns::IsNull(VARIANT var, VARIANT_BOOL* result) {
    return Member([&] { SetOut(result, IsNullOrBlank(var) ? VARIANT_TRUE : VARIANT_FALSE); });
}

STDMETHODIMP VemoFuns::CNulls(VARIANT v, VARIANT d, VARIANT* result) {
    return Member([&] {
        RequireOut(result);
        // Neither value is converted: the chosen one goes back as it came,
        // but a caller's variable (a VARIANT by reference) as its value,
        // never as a reference into the caller's memory.
        Variant copy;
        Check(VariantCopyInd(copy.Get(), IsNullOrBlank(v) ? &d : &v));
        SetOut(result, std::move(copy));
    });
}

STDMETHODIMP VemoFuns::AddStrNum(BSTR* str, BSTR* result) {
    return Member([&] {
        RequireOut(result);
        AutomationNumbers numbers;
        SetOut(result, Take(vemo::AddStrNum(View(str ? *str : nullptr), numbers)));
    });
}

STDMETHODIMP VemoFuns::MakeComString(BSTR strFirst, BSTR strLast, BSTR* result) {
    return Member([&] { SetOut(result, vemo::MakeComString(View(strFirst), View(strLast))); });
}

STDMETHODIMP VemoFuns::GetComString(BSTR strComString, BSTR* result) {
    return Member([&] { SetOut(result, vemo::GetComString(View(strComString))); });
}

STDMETHODIMP VemoFuns::GetString(BSTR str, short place, BSTR sep, BSTR* result) {
    return Member([&] { SetOut(result, vemo::GetString(View(str), place, View(sep))); });
}

STDMETHODIMP VemoFuns::ISIncludeChinese(BSTR sString, VARIANT_BOOL* result) {
    return Member([&] {
        // Counted like lstrlenA: the ANSI form up to its first zero byte.
        std::string ansi = ToAnsi(View(sString));
        size_t bytes = ansi.find('\0');
        if (bytes == std::string::npos) bytes = ansi.size();
        SetOut(result, bytes != View(sString).size() ? VARIANT_TRUE : VARIANT_FALSE);
    });
}

}  // namespace vemo
