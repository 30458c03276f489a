#include "odbc_statement.h"
#include "ado_errors.h"

namespace adohost {

std::wstring Diagnostics(SQLSMALLINT kind, SQLHANDLE handle) {
    std::wstring text;
    for (SQLSMALLINT rec = 1; rec <= 20; ++rec) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[1024] = {};
        SQLSMALLINT length = 0;
        SQLRETURN rc = SQLGetDiagRecW(kind, handle, rec, state, &native, message, 1024, &length);
        if (!SQL_SUCCEEDED(rc)) break;
        std::wstring line(reinterpret_cast<wchar_t*>(message));
        while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r')) line.pop_back();
        if (!text.empty()) text += L" ";
        text += line;
    }
    return text.empty() ? L"The ODBC driver reported a failure without a diagnostic." : text;
}

[[noreturn]] void RaiseDiagnostics(SQLSMALLINT kind, SQLHANDLE handle) { RaiseProvider(Diagnostics(kind, handle)); }

}  // namespace adohost
