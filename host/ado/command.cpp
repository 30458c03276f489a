#include "command.h"
#include "ado_errors.h"
#include "execute.h"
#include "recordset.h"
#include "frame/out_values.h"

namespace adohost {

using vemo::SetOut;

const IID* const Command::kInterfaces[] = {&IID__Command, nullptr};
const wchar_t Command::kErrorSource[] = L"ADODB.Command";

HRESULT Command::Initialize() {
    ComPtr<::Parameters> list;
    HRESULT hr = ParameterList::CreateInstance(IID_Parameters, list.OutVoid());
    if (SUCCEEDED(hr)) {
        params_ = ComPtr<ParameterList>(static_cast<ParameterList*>(list.Get()));
        params_->owner = &record_;
    }
    return hr;
}

Command::~Command() {
    // A list the caller still holds outlives the command's name.
    if (params_) params_->owner = nullptr;
    RecordedCall(record_, L"Release");
}

STDMETHODIMP Command::get_Parameters(::Parameters** out) {
    return Member([&] {
        vemo::RequireOut(out);
        *out = ComPtr<ParameterList>(params_).Detach();
    });
}

STDMETHODIMP Command::get_ActiveConnection(_Connection** out) {
    return Member([&] {
        vemo::RequireOut(out);
        *out = connection_ ? ComPtr<Connection>(connection_).Detach() : nullptr;
    });
}

void Command::UseObject(IUnknown* object, RecordedCall& call) {
    if (!object) {
        call.Word(L"Nothing");
        connection_.Reset();
        return;
    }
    ComPtr<Connection> c = Connection::From(object);
    if (!c) RaiseAdo(kBadArguments);
    call.Names(c->Record());
    connection_ = c;
}

STDMETHODIMP Command::putref_ActiveConnection(IDispatch* value) {
    return Member([&] {
        RecordedCall call(record_, L"ActiveConnection");
        UseObject(value, call);
    });
}

STDMETHODIMP Command::put_ActiveConnection(VARIANT value) {
    return Member([&] {
        RecordedCall call(record_, L"ActiveConnection");
        const VARIANT* v = vemo::Deref(&value);
        switch (V_VT(v)) {
        case VT_BSTR: {
            // A connection of the command's own.
            call.Text(V_BSTR(v));
            ComPtr<_Connection> created = Connection::New();
            ComPtr<Connection> c(static_cast<Connection*>(created.Get()));
            c->OpenText(vemo::WideText(V_BSTR(v)), L"", L"");
            call.Made(c->Record());
            connection_ = c;
            break;
        }
        case VT_DISPATCH: UseObject(V_DISPATCH(v), call); break;
        case VT_UNKNOWN: UseObject(V_UNKNOWN(v), call); break;
        case VT_EMPTY: case VT_NULL: call.Word(L"Nothing"); connection_.Reset(); break;
        default: RaiseAdo(kBadArguments);
        }
    });
}

STDMETHODIMP Command::get_CommandText(BSTR* out) {
    return Member([&] { SetOut(out, vemo::Utf16(text_)); });
}

STDMETHODIMP Command::put_CommandText(BSTR value) {
    return Member([&] { text_.assign(value ? value : L"", value ? SysStringLen(value) : 0); });
}

STDMETHODIMP Command::get_CommandType(LONG* out) { return Member([&] { SetOut(out, static_cast<LONG>(kind_)); }); }

STDMETHODIMP Command::put_CommandType(LONG value) {
    return Member([&] {
        switch (value) {
        case adCmdUnspecified: case adCmdText: case adCmdTable: case adCmdStoredProc: case adCmdUnknown:
        case adCmdTableDirect:
            kind_ = value;
            break;
        default:
            RaiseAdo(kBadArguments);
        }
    });
}

// Execute's Parameters argument: values for the parameters in order; values
// beyond the appended parameters become input parameters of their own.
void Command::TakeValues(const VARIANT& array) {
    const VARIANT* v = vemo::Deref(&array);
    if (!(V_VT(v) & VT_ARRAY) || SafeArrayGetDim(V_ARRAY(v)) != 1) RaiseAdo(kBadArguments);
    SAFEARRAY* a = V_ARRAY(v);
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(a, 1, &lower);
    SafeArrayGetUBound(a, 1, &upper);
    size_t slot = 0;
    for (LONG i = lower; i <= upper; ++i, ++slot) {
        vemo::Variant item;
        if ((V_VT(v) & VT_TYPEMASK) == VT_VARIANT) {
            vemo::Check(SafeArrayGetElement(a, &i, item.Get()));
        } else {
            RaiseAdo(kBadArguments);
        }
        while (slot < params_->items.size() && params_->items[slot]->direction != adParamInput &&
               params_->items[slot]->direction != adParamInputOutput)
            ++slot;
        if (slot == params_->items.size()) {
            ComPtr<_Parameter> created = Parameter::New();
            params_->items.push_back(ComPtr<Parameter>(static_cast<Parameter*>(created.Get())));
        }
        vemo::Check(VariantCopyInd(params_->items[slot]->value.Out(), item.Get()));
    }
}

STDMETHODIMP Command::Execute(VARIANT* recordsAffected, VARIANT* parameters, LONG options, _Recordset** result) {
    return Member([&] {
        vemo::RequireOut(result);
        *result = nullptr;
        RecordedCall call(record_, L"Execute");
        call.Text(text_).Number(kind_).Number(options);
        if (!vemo::IsMissing(recordsAffected)) call.Word(L"records affected");
        if (!vemo::IsMissing(parameters)) call.Word(L"parameter values");
        if (!connection_) RaiseAdo(kConnectionUnusable);
        OdbcSession& session = connection_->Session();
        if (text_.empty()) vemo::Raise(static_cast<HRESULT>(0x80040E0Cu), L"Command text was not set for the command object.");
        if (!vemo::IsMissing(parameters)) TakeValues(*parameters);
        long kind = EffectiveKind(options, kind_);
        ComPtr<_Recordset> rs =
            RunCommand(session, text_, kind, params_->items, recordsAffected, timeout_, connection_->ClientCursor());
        if (options == adCmdUnspecified || !(options & adExecuteNoRecords)) {
            call.Made(static_cast<Recordset*>(rs.Get())->Record());
            *result = rs.Detach();
        }
    });
}

STDMETHODIMP Command::CreateParameter(BSTR name, LONG type, LONG direction, LONG size, VARIANT value,
                                      _Parameter** result) {
    return Member([&] {
        vemo::RequireOut(result);
        *result = nullptr;
        RecordedCall call(record_, L"CreateParameter");
        call.Text(name).Number(type).Number(direction).Number(size).Value(&value);
        Parameter::CheckType(type);
        Parameter::CheckDirection(direction);
        if (size < 0) RaiseAdo(kBadArguments);
        ComPtr<_Parameter> created = Parameter::New();
        Parameter* p = static_cast<Parameter*>(created.Get());
        p->name.assign(name ? name : L"", name ? SysStringLen(name) : 0);
        p->type = type;
        p->direction = direction;
        p->size = size;
        if (!vemo::IsMissing(&value)) vemo::Check(VariantCopyInd(p->value.Out(), &value));
        *result = created.Detach();
    });
}

STDMETHODIMP Command::get_State(LONG* out) { return Member([&] { SetOut(out, 0L); }); }

STDMETHODIMP Command::get_CommandTimeout(LONG* out) { return Member([&] { SetOut(out, LONG(timeout_)); }); }

STDMETHODIMP Command::put_CommandTimeout(LONG value) {
    return Member([&] {
        if (value < 0) RaiseAdo(kBadArguments);
        timeout_ = value;
    });
}

}  // namespace adohost
