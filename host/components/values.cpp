#include "values.h"
#include "frame/late_bound.h"

namespace testhost {

using namespace vemo;

namespace {

constexpr int kMaxDepth = 64;

Value ToValue(const VARIANT& in, int depth) {
    Variant v;
    Check(VariantCopyInd(v.Get(), const_cast<VARIANT*>(&in)));
    const VARIANT& x = *v.Get();
    Value out;
    switch (V_VT(&x)) {
    case VT_EMPTY: out.kind = Kind::Empty; break;
    case VT_NULL: out.kind = Kind::Null; break;
    case VT_BSTR: out.kind = Kind::Text; out.text = std::u16string(View(V_BSTR(&x))); break;
    case VT_UI1: out.kind = Kind::Byte; out.integer = V_UI1(&x); break;
    case VT_I2: out.kind = Kind::I2; out.integer = V_I2(&x); break;
    case VT_I4: out.kind = Kind::I4; out.integer = V_I4(&x); break;
    case VT_R4: out.kind = Kind::R4; out.real = V_R4(&x); break;
    case VT_R8: out.kind = Kind::R8; out.real = V_R8(&x); break;
    case VT_CY: out.kind = Kind::Currency; out.integer = V_CY(&x).int64; break;
    case VT_DATE: out.kind = Kind::Date; out.real = V_DATE(&x); break;
    case VT_BOOL: out.kind = Kind::Bool; out.integer = V_BOOL(&x) ? 1 : 0; break;
    case VT_DISPATCH:
    case VT_UNKNOWN: {
        IUnknown* unk = V_VT(&x) == VT_DISPATCH ? V_DISPATCH(&x) : V_UNKNOWN(&x);
        if (!unk) { out.kind = Kind::Nothing; break; }
        ComPtr<IPyxDictionary> nested;
        if (FAILED(unk->QueryInterface(IID_IPyxDictionary, nested.OutVoid())))
            Raise(ControlError(kErrTypeMismatch), L"Only dictionaries can be stored as objects in a profile document");
        out.kind = Kind::Dict;
        out.dict = std::make_shared<Node>();
        Capture(nested.Get(), *out.dict, depth + 1);
        break;
    }
    default:
        Raise(ControlError(kErrTypeMismatch), L"A value of this type cannot be stored in a profile document");
    }
    return out;
}

Variant ToVariant(const Value& v) {
    Variant out;
    VARIANT& x = *out.Get();
    switch (v.kind) {
    case Kind::Empty: break;
    case Kind::Null: V_VT(&x) = VT_NULL; break;
    case Kind::Nothing: V_VT(&x) = VT_DISPATCH; V_DISPATCH(&x) = nullptr; break;
    case Kind::Text: V_VT(&x) = VT_BSTR; V_BSTR(&x) = Bstr(v.text).Detach(); break;
    case Kind::Byte: V_VT(&x) = VT_UI1; V_UI1(&x) = static_cast<BYTE>(v.integer); break;
    case Kind::I2: V_VT(&x) = VT_I2; V_I2(&x) = static_cast<SHORT>(v.integer); break;
    case Kind::I4: V_VT(&x) = VT_I4; V_I4(&x) = static_cast<LONG>(v.integer); break;
    case Kind::R4: V_VT(&x) = VT_R4; V_R4(&x) = static_cast<float>(v.real); break;
    case Kind::R8: V_VT(&x) = VT_R8; V_R8(&x) = v.real; break;
    case Kind::Currency: V_VT(&x) = VT_CY; V_CY(&x).int64 = v.integer; break;
    case Kind::Date: V_VT(&x) = VT_DATE; V_DATE(&x) = v.real; break;
    case Kind::Bool: V_VT(&x) = VT_BOOL; V_BOOL(&x) = v.integer ? VARIANT_TRUE : VARIANT_FALSE; break;
    case Kind::Dict: {
        ComPtr<IPyxDictionary> d = Build(*v.dict);
        V_VT(&x) = VT_DISPATCH;
        V_DISPATCH(&x) = d.Detach();
        break;
    }
    }
    return out;
}

}  // namespace

void Capture(IPyxDictionary* dict, Node& out, int depth) {
    // A dictionary that contains itself would never end.
    if (depth > kMaxDepth) Raise(ControlError(kErrInvalidArgument), L"Dictionaries are nested too deeply to be stored");
    out.entries.clear();
    LONG n = 0;
    Check(dict->get_EntryCount(&n));
    for (LONG i = 1; i <= n; ++i) {
        Bstr name;
        Check(dict->KeyAt(i, name.Out()));
        Variant value;
        Check(dict->ValueOf(name.Get(), value.Out()));
        out.Set(name.View(), ToValue(*value.Get(), depth));
    }
}

ComPtr<IPyxDictionary> Build(const Node& node) {
    ComPtr<IPyxDictionary> d = Dictionary::New();
    auto* impl = static_cast<Dictionary*>(d.Get());
    for (const Entry& e : node.entries) {
        Variant v = ToVariant(e.value);
        impl->Store(e.name, *v.Get());
    }
    return d;
}

}  // namespace testhost
