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
    VARIANT x = raw::Of(VT_EMPTY);
    switch (v.kind) {
    case Kind::Empty: break;
    case Kind::Null: return Variant::Null();
    case Kind::Nothing: return Variant::Nothing();
    case Kind::Text: return Variant::Text(v.text);
    case Kind::Byte: x = raw::Of(VT_UI1); V_UI1(&x) = static_cast<BYTE>(v.integer); break;
    case Kind::I2: return Variant::Short(static_cast<SHORT>(v.integer));
    case Kind::I4: return Variant::Long(static_cast<LONG>(v.integer));
    case Kind::R4: x = raw::Of(VT_R4); V_R4(&x) = static_cast<float>(v.real); break;
    case Kind::R8: return Variant::Double(v.real);
    case Kind::Currency: x = raw::Of(VT_CY); V_CY(&x).int64 = v.integer; break;
    case Kind::Date: return Variant::Date(v.real);
    case Kind::Bool: return Variant::Bool(v.integer != 0);
    case Kind::Dict: return Variant::Object(Build(*v.dict).Get());
    }
    return Variant::Adopt(x);
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
