// The session: one connection to a driver, its reset and probe for the pool,
// and a statement run with its bound values.
#include "odbc_statement.h"
#include "ado_errors.h"

#include <algorithm>
#include <cwctype>

namespace adohost {

namespace {

// A statement's time-out in seconds (0: none).
void SetQueryTimeout(SQLHSTMT stmt, long seconds) {
    SQLSetStmtAttrW(stmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(seconds > 0 ? seconds : 0)),
                    0);
}

std::wstring Upper(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(towupper(c));
    return s;
}

// The driver's completed connection string, made to open again as it
// stands: the SQLite driver, for one, answers "DSN=;Database=...;" without
// the DRIVER= it was opened with, so the caller's DRIVER= part is put back
// in front and the empty DSN= dropped.
std::wstring Reopenable(std::wstring completed, const std::wstring& given) {
    if (completed.empty()) return given;
    std::wstring upper = Upper(completed);
    if (upper.find(L"DRIVER=") != std::wstring::npos) return completed;
    std::wstring givenUpper = Upper(given);
    size_t at = givenUpper.find(L"DRIVER=");
    if (at == std::wstring::npos) return completed;
    size_t value = at + 7;
    size_t close = value < given.size() && given[value] == L'{' ? given.find(L'}', value) : value;
    size_t end = given.find(L';', close == std::wstring::npos ? value : close);
    std::wstring driver = given.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
    if (upper.rfind(L"DSN=;", 0) == 0) completed.erase(0, 5);
    return driver + L";" + completed;
}

// The process's one ODBC environment. Never freed: sessions kept by the
// pool live until the process ends.
SQLHENV Environment() {
    static SQLHENV env = [] {
        SQLHENV e = SQL_NULL_HENV;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &e))) return SQLHENV(SQL_NULL_HENV);
        SQLSetEnvAttr(e, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        return e;
    }();
    if (env == SQL_NULL_HENV) RaiseProvider(L"The ODBC driver manager could not be loaded.");
    return env;
}

}  // namespace

OdbcSession::OdbcSession(const std::wstring& connectionString, long loginTimeout) {
    SQLHENV env = Environment();
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc_))) RaiseDiagnostics(SQL_HANDLE_ENV, env);
    SQLSetConnectAttrW(dbc_, SQL_ATTR_LOGIN_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(loginTimeout > 0 ? loginTimeout : 0)), 0);
    std::vector<SQLWCHAR> in(connectionString.begin(), connectionString.end());
    in.push_back(0);
    SQLWCHAR out[4096] = {};
    SQLSMALLINT outLength = 0;
    SQLRETURN rc = SQLDriverConnectW(dbc_, nullptr, in.data(), SQL_NTS, out, 4096, &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        std::wstring text = Diagnostics(SQL_HANDLE_DBC, dbc_);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        RaiseProvider(text);
    }
    connected_ = true;
    completed_ = Reopenable(reinterpret_cast<wchar_t*>(out), connectionString);
    // A server session can die with its server; a local file's cannot.
    // DISCARD TEMP both asks the server and drops the last user's
    // temporary tables.
    SQLWCHAR dbms[64] = {};
    SQLSMALLINT dbmsLength = 0;
    SQLGetInfoW(dbc_, SQL_DBMS_NAME, dbms, sizeof dbms, &dbmsLength);
    if (Upper(reinterpret_cast<wchar_t*>(dbms)) == L"POSTGRESQL") probe_ = L"DISCARD TEMP";
}

OdbcSession::~OdbcSession() {
    if (connected_) SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
}

bool OdbcSession::Reset() {
    if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK))) return false;
    SQLSetConnectAttrW(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    SQLUINTEGER dead = SQL_CD_FALSE;
    return !SQL_SUCCEEDED(SQLGetConnectAttrW(dbc_, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) || dead != SQL_CD_TRUE;
}

bool OdbcSession::Probe(long queryTimeout) {
    SQLUINTEGER dead = SQL_CD_FALSE;
    if (SQL_SUCCEEDED(SQLGetConnectAttrW(dbc_, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) && dead == SQL_CD_TRUE)
        return false;
    if (probe_.empty()) return true;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt))) return false;
    SetQueryTimeout(stmt, queryTimeout);
    std::vector<SQLWCHAR> text(probe_.begin(), probe_.end());
    text.push_back(0);
    bool alive = SQL_SUCCEEDED(SQLExecDirectW(stmt, text.data(), SQL_NTS));
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return alive;
}

Outcome OdbcSession::Execute(const std::wstring& sql, const std::vector<BoundValue>& values, long queryTimeout) {
    Statement s(dbc_);
    SetQueryTimeout(s.Get(), queryTimeout);
    std::vector<Binding> bindings;
    bindings.reserve(values.size());
    for (const BoundValue& v : values) bindings.push_back(Bind(v));
    for (size_t i = 0; i < bindings.size(); ++i) {
        Binding& b = bindings[i];
        s.Check(SQLBindParameter(s.Get(), static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, b.cType, b.sqlType,
                                 b.columnSize, b.digits, b.data.data(), static_cast<SQLLEN>(b.data.size()),
                                 &b.indicator));
    }
    std::vector<SQLWCHAR> text(sql.begin(), sql.end());
    text.push_back(0);
    s.Check(SQLExecDirectW(s.Get(), text.data(), SQL_NTS));
    Outcome outcome;
    SQLLEN affected = -1;
    if (SQL_SUCCEEDED(SQLRowCount(s.Get(), &affected))) outcome.affected = static_cast<long>(affected);
    SQLSMALLINT columns = 0;
    s.Check(SQLNumResultCols(s.Get(), &columns));
    if (columns > 0) outcome.rows = ReadRows(s, columns);
    return outcome;
}

}  // namespace adohost
