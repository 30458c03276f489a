#include "parameter.h"
#include "ado_errors.h"
#include "connection_string.h"
#include "frame/enum_variant.h"
#include "odbc.h"
#include "frame/out_values.h"

namespace adohost {

using vemo::SetOut;

const IID* const Parameter::kInterfaces[] = {&IID__Parameter, nullptr};
const wchar_t Parameter::kErrorSource[] = L"ADODB.Parameter";
const IID* const ParameterList::kInterfaces[] = {&IID_Parameters, nullptr};
const wchar_t ParameterList::kErrorSource[] = L"ADODB.Parameters";

void Parameter::CheckType(long t) {
    if (!IsKnownType(t)) RaiseAdo(kBadArguments);
}

void Parameter::CheckDirection(long d) {
    if (d < adParamUnknown || d > adParamReturnValue) RaiseAdo(kBadArguments);
}

STDMETHODIMP Parameter::get_Value(VARIANT* out) {
    return Member([&] {
        vemo::RequireOut(out);
        VariantInit(out);
        vemo::Check(VariantCopy(out, value.Get()));
    });
}

STDMETHODIMP Parameter::put_Value(VARIANT v) {
    return Member([&] {
        vemo::Variant copy;
        vemo::Check(VariantCopyInd(copy.Get(), &v));
        value = std::move(copy);
    });
}

STDMETHODIMP Parameter::get_Name(BSTR* out) {
    return Member([&] { SetOut(out, vemo::Utf16(name)); });
}
STDMETHODIMP Parameter::put_Name(BSTR v) {
    return Member([&] { name.assign(v ? v : L"", v ? SysStringLen(v) : 0); });
}
STDMETHODIMP Parameter::get_Type(LONG* out) { return Member([&] { SetOut(out, static_cast<LONG>(type)); }); }
STDMETHODIMP Parameter::put_Type(LONG v) {
    return Member([&] {
        CheckType(v);
        type = v;
    });
}
STDMETHODIMP Parameter::get_Direction(LONG* out) { return Member([&] { SetOut(out, static_cast<LONG>(direction)); }); }
STDMETHODIMP Parameter::put_Direction(LONG v) {
    return Member([&] {
        CheckDirection(v);
        direction = v;
    });
}
STDMETHODIMP Parameter::get_Size(LONG* out) { return Member([&] { SetOut(out, static_cast<LONG>(size)); }); }
STDMETHODIMP Parameter::put_Size(LONG v) {
    return Member([&] {
        if (v < 0) RaiseAdo(kBadArguments);
        size = v;
    });
}

size_t ParameterList::Find(const VARIANT& index) const {
    const VARIANT* v = vemo::Deref(&index);
    if (V_VT(v) == VT_BSTR) {
        const std::wstring key = vemo::WideText(V_BSTR(v));
        for (size_t i = 0; i < items.size(); ++i)
            if (SameKey(items[i]->name, key.c_str())) return i;
        RaiseAdo(kItemNotFound);
    }
    vemo::Variant n;
    if (FAILED(VariantChangeType(n.Get(), const_cast<VARIANT*>(v), 0, VT_I4))) RaiseAdo(kItemNotFound);
    LONG i = V_I4(n.Get());
    if (i < 0 || static_cast<size_t>(i) >= items.size()) RaiseAdo(kItemNotFound);
    return static_cast<size_t>(i);
}

STDMETHODIMP ParameterList::get_Item(VARIANT index, _Parameter** out) {
    return Member([&] {
        vemo::RequireOut(out);
        *out = nullptr;
        ComPtr<Parameter> p = items[Find(index)];
        *out = static_cast<_Parameter*>(p.Detach());
    });
}

STDMETHODIMP ParameterList::get_Count(LONG* out) { return Member([&] { SetOut(out, static_cast<LONG>(items.size())); }); }

STDMETHODIMP ParameterList::Append(IDispatch* object) {
    return Member([&] {
        RecordedCall call(owner ? *owner : own_, owner ? L"Parameters.Append" : L"Append");
        if (!object) RaiseAdo(kBadArguments);
        ComPtr<Parameter> p = Parameter::From(object);
        if (!p) RaiseAdo(kWrongType);
        call.Text(p->name).Number(p->type).Number(p->direction).Number(p->size).Value(p->value.Get());
        for (const ComPtr<Parameter>& q : items)
            if (q.Get() == p.Get()) RaiseAdo(kAlreadyInCollection);
        // Variable-length values need a size, as the provider must know it.
        switch (p->type) {
        case adBinary: case adChar: case adWChar: case adVarChar: case adLongVarChar: case adVarWChar:
        case adLongVarWChar: case adVarBinary: case adLongVarBinary:
            if (p->size <= 0) RaiseAdo(kParameterImproper);
            break;
        default:
            break;
        }
        items.push_back(p);
    });
}

STDMETHODIMP ParameterList::Delete(VARIANT index) {
    return Member([&] { items.erase(items.begin() + static_cast<std::ptrdiff_t>(Find(index))); });
}

STDMETHODIMP ParameterList::Refresh() { return S_OK; }

STDMETHODIMP ParameterList::_NewEnum(IUnknown** out) {
    return Member([&] {
        vemo::RequireOut(out);
        std::vector<vemo::Variant> values;
        for (const ComPtr<Parameter>& p : items) {
            values.push_back(vemo::Variant::Object(static_cast<_Parameter*>(p.Get())));
        }
        *out = vemo::NewEnumerator(vemo::Snapshot(std::move(values))).Detach();
    });
}

}  // namespace adohost
