// Connection: an ODBC connection (Driver=..., DSN=..., or the same behind
// Provider=MSDASQL), or a Jet provider's check of an Access file. Releasing
// the last reference closes the connection; a closed connection's session
// goes to the session pool (session_pool.h).
#pragma once
#include "ado_object.h"
#include "call_record.h"
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
    STDMETHODIMP get_ConnectionTimeout(LONG* value) override;
    STDMETHODIMP put_ConnectionTimeout(LONG value) override;
    STDMETHODIMP get_CommandTimeout(LONG* value) override;
    STDMETHODIMP put_CommandTimeout(LONG value) override;
    STDMETHODIMP get_CursorLocation(LONG* value) override;
    STDMETHODIMP put_CursorLocation(LONG value) override;

    ~Connection() override;

    // Opens from a connection string; raises the provider's error.
    void OpenText(const std::wstring& text, const std::wstring& user, const std::wstring& password);
    // The session that runs statements; raises when there is none.
    OdbcSession& Session();
    // Whether its recordsets are client cursors (CursorLocation adUseClient).
    bool ClientCursor() const { return cursorLocation_ == kUseClient; }
    RecordName& Record() { return record_; }

    // CursorLocationEnum; ADO's default time-outs, in seconds.
    static constexpr long kUseServer = 2, kUseClient = 3;
    static constexpr long kDefaultConnectionTimeout = 15, kDefaultCommandTimeout = 30;

private:
    void OpenOdbc(const std::wstring& odbc);
    void EndSession();

    std::wstring text_;
    std::wstring provider_ = L"MSDASQL";
    bool open_ = false;
    long connectionTimeout_ = kDefaultConnectionTimeout;
    long commandTimeout_ = kDefaultCommandTimeout;
    long cursorLocation_ = kUseServer;
    std::wstring poolKey_;     // the ODBC text (credentials included) of the last open
    bool reopenable_ = false;  // Open without a text reopens poolKey_
    bool persist_ = false;     // Persist Security Info
    long textTimeout_ = -1;    // the text's Connect Timeout, or -1
    std::unique_ptr<OdbcSession> session_;  // null when closed, and for Jet
    RecordName record_{L"Connection"};
};

}  // namespace adohost
