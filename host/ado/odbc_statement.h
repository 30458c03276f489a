// Inside the ODBC side of the subset (odbc_*.cpp): a statement handle,
// diagnostics raised as provider errors, parameter bindings and the reading
// of a result set.
#pragma once
#include "odbc.h"

#include <memory>
#include <string>
#include <vector>

namespace adohost {

// Every diagnostic record of a handle, as one text.
std::wstring Diagnostics(SQLSMALLINT kind, SQLHANDLE handle);
[[noreturn]] void RaiseDiagnostics(SQLSMALLINT kind, SQLHANDLE handle);

class Statement {
public:
    explicit Statement(SQLHDBC dbc) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt_))) RaiseDiagnostics(SQL_HANDLE_DBC, dbc);
    }
    ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    SQLHSTMT Get() const { return stmt_; }
    void Check(SQLRETURN rc) const {
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) RaiseDiagnostics(SQL_HANDLE_STMT, stmt_);
    }

private:
    SQLHSTMT stmt_ = SQL_NULL_HSTMT;
};

// A parameter's value in the form SQLBindParameter reads; the buffer stays
// where it is until the statement has run.
struct Binding {
    SQLSMALLINT cType = SQL_C_WCHAR;
    SQLSMALLINT sqlType = SQL_VARCHAR;
    SQLULEN columnSize = 1;
    SQLSMALLINT digits = 0;
    std::vector<unsigned char> data;
    SQLLEN indicator = SQL_NULL_DATA;
};

// The binding of a value; raises what ADO raises for a value that does not fit.
Binding Bind(const BoundValue& bv);

// The columns and every row of the statement's result set (`count` columns).
std::shared_ptr<RowSet> ReadRows(const Statement& s, SQLSMALLINT count);

}  // namespace adohost
