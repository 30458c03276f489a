// Command: a statement, table or stored procedure with its parameters, run on
// its ActiveConnection. A connection string assigned to ActiveConnection opens
// a connection that belongs to the command alone, so releasing the command
// closes it.
#pragma once
#include "ado_object.h"
#include "connection.h"
#include "parameter.h"

namespace adohost {

class Command : public AdoObject<Command, _Command> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];

    HRESULT Initialize();
    ~Command() override;

    STDMETHODIMP get_Parameters(::Parameters** value) override;
    STDMETHODIMP get_ActiveConnection(_Connection** value) override;
    STDMETHODIMP putref_ActiveConnection(IDispatch* value) override;
    STDMETHODIMP put_ActiveConnection(VARIANT value) override;
    STDMETHODIMP get_CommandText(BSTR* value) override;
    STDMETHODIMP put_CommandText(BSTR value) override;
    STDMETHODIMP get_CommandType(LONG* value) override;
    STDMETHODIMP put_CommandType(LONG value) override;
    STDMETHODIMP Execute(VARIANT* recordsAffected, VARIANT* parameters, LONG options, _Recordset** result) override;
    STDMETHODIMP CreateParameter(BSTR name, LONG type, LONG direction, LONG size, VARIANT value,
                                 _Parameter** result) override;
    STDMETHODIMP get_State(LONG* value) override;
    STDMETHODIMP get_CommandTimeout(LONG* value) override;
    STDMETHODIMP put_CommandTimeout(LONG value) override;

private:
    void UseObject(IUnknown* object, RecordedCall& call);
    void TakeValues(const VARIANT& array);

    ComPtr<Connection> connection_;
    ComPtr<ParameterList> params_;
    std::wstring text_;
    long kind_ = 8;  // adCmdUnknown
    long timeout_ = Connection::kDefaultCommandTimeout;
    RecordName record_{L"Command"};
};

}  // namespace adohost
