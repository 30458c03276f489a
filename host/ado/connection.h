// Connection: an ODBC connection (Driver=..., DSN=..., or the same behind
// Provider=MSDASQL), or a Jet provider's check of an Access file. Releasing
// the last reference closes the connection.
#pragma once
#include "ado_object.h"
#include "odbc.h"

#include <memory>
#include <string>

namespace adohost {

class Connection : public AdoObject<Connection, _Connection> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];

    STDMETHODIMP get_ConnectionString(BSTR* value) override;
    STDMETHODIMP put_ConnectionString(BSTR value) override;
    STDMETHODIMP get_State(LONG* value) override;
    STDMETHODIMP Open(BSTR connectionString, BSTR userId, BSTR password, LONG options) override;
    STDMETHODIMP Close() override;
    STDMETHODIMP Execute(BSTR commandText, VARIANT* recordsAffected, LONG options, _Recordset** result) override;
    STDMETHODIMP get_Provider(BSTR* value) override;

    // Opens from a connection string; raises the provider's error.
    void OpenText(const std::wstring& text, const std::wstring& user, const std::wstring& password);
    // The session that runs statements; raises when there is none.
    OdbcSession& Session();

private:
    std::wstring text_;
    std::wstring provider_ = L"MSDASQL";
    bool open_ = false;
    std::unique_ptr<OdbcSession> session_;  // null when closed, and for Jet
};

}  // namespace adohost
