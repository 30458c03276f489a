#include "erpdb/procedure_call.h"
#include "frame/errors.h"

namespace vemo {

Bstr ConnectionText(IDispatch* connection) {
    if (!connection) RaiseNumber(kErrObjectNotSet);
    Variant text = Get(connection, L"ConnectionString");
    return ToText(*text.Get());
}

Variant FieldValue(IDispatch* recordset, const wchar_t* field) {
    Variant fields = Get(recordset, L"Fields");
    Bstr name(field);
    Variant item = Get(AsObject(*fields.Get()).Get(), L"Item", {Arg::Text(name.Get())});
    return Get(AsObject(*item.Get()).Get(), L"Value");
}

namespace {

ComPtr<IDispatch> CreateParameter(IDispatch* command, const ProcedureParameter& p, const Arg* value) {
    Bstr name(p.name);
    Variant made = value ? Call(command, L"CreateParameter",
                                {Arg::Text(name.Get()), Arg::Long(p.type), Arg::Long(p.direction), Arg::Long(p.size), *value})
                         : Call(command, L"CreateParameter",
                                {Arg::Text(name.Get()), Arg::Long(p.type), Arg::Long(p.direction), Arg::Long(p.size)});
    return AsObject(*made.Get());
}

void Append(IDispatch* command, IDispatch* parameter) {
    Variant parameters = Get(command, L"Parameters");
    Call(AsObject(*parameters.Get()).Get(), L"Append", {Arg::Object(parameter)});
}

}  // namespace

Variant CallOutputProcedure(IDispatch* callerConnection, const wchar_t* procedure, const ProcedureParameter& input,
                            const Arg& inputValue, const ProcedureParameter& output) {
    // Declared first, released last: the parameters go before the command.
    ComPtr<IDispatch> command = CreateObject(L"ADODB.Command");
    // A string, not the object: ADO opens a connection of the command's own.
    Bstr text = ConnectionText(callerConnection);
    Put(command.Get(), L"ActiveConnection", Arg::Text(text.Get()));
    Bstr name(procedure);
    Put(command.Get(), L"CommandText", Arg::Text(name.Get()));
    Put(command.Get(), L"CommandType", Arg::Long(kAdCmdStoredProc));
    ComPtr<IDispatch> current = CreateParameter(command.Get(), input, &inputValue);
    Append(command.Get(), current.Get());
    current = CreateParameter(command.Get(), output, nullptr);
    Append(command.Get(), current.Get());
    {
        // The returned recordset is released unread before the output is read.
        Variant rows = Call(command.Get(), L"Execute", {Arg::Missing(), Arg::Missing(), Arg::Long(kAdOptionUnspecified)});
    }
    Variant value = Get(current.Get(), L"Value");
    return value;
}

}  // namespace vemo
