// The ODBC side of the subset: one connection to a driver, statements with
// bound parameters, and their results read completely into memory.
//
// Only the Unicode (W) entry points are used: Wine's odbc32 passes them to
// the machine's unixODBC, while its ANSI ones abort the process.
#pragma once
#include "frame/auto_values.h"

#include <memory>
#include <string>
#include <vector>

#include <windows.h>
#include <sql.h>
#include <sqlext.h>

namespace adohost {

// ADO's data types (DataTypeEnum) and parameter directions.
enum AdoType : long {
    adEmpty = 0, adSmallInt = 2, adInteger = 3, adSingle = 4, adDouble = 5, adCurrency = 6, adDate = 7,
    adBSTR = 8, adBoolean = 11, adDecimal = 14, adTinyInt = 16, adUnsignedTinyInt = 17,
    adUnsignedSmallInt = 18, adUnsignedInt = 19, adBigInt = 20, adUnsignedBigInt = 21, adGUID = 72,
    adBinary = 128, adChar = 129, adWChar = 130, adNumeric = 131, adDBDate = 133, adDBTime = 134,
    adDBTimeStamp = 135, adVarNumeric = 139, adVarChar = 200, adLongVarChar = 201, adVarWChar = 202,
    adLongVarWChar = 203, adVarBinary = 204, adLongVarBinary = 205,
};
enum AdoDirection : long {
    adParamUnknown = 0, adParamInput = 1, adParamOutput = 2, adParamInputOutput = 3, adParamReturnValue = 4,
};

bool IsKnownType(long type);

struct Column {
    std::wstring name;
    long type;  // AdoType
};

// A result set: the columns and every row, in the order the server sent them.
struct RowSet {
    std::vector<Column> columns;
    std::vector<std::vector<vemo::Variant>> rows;
};

// A value bound to a '?' of a statement.
struct BoundValue {
    long type;           // AdoType; adEmpty takes the type from the value
    long size;           // for text and binary: the declared size
    const VARIANT* value;
};

struct Outcome {
    std::shared_ptr<RowSet> rows;  // null when the statement returned no result set
    long affected = -1;            // rows changed, or -1 when the driver cannot tell
};

// One connection to a driver, on the process's one ODBC environment.
class OdbcSession {
public:
    // Connects with SQLDriverConnectW, waiting at most `loginTimeout`
    // seconds for the server (0: as long as the driver waits); a failure
    // raises the driver's diagnostics.
    OdbcSession(const std::wstring& connectionString, long loginTimeout);
    ~OdbcSession();
    OdbcSession(const OdbcSession&) = delete;
    OdbcSession& operator=(const OdbcSession&) = delete;

    // The complete connection string that the driver reports.
    const std::wstring& CompletedString() const { return completed_; }
    // Runs a statement; past `queryTimeout` seconds (0: no limit) the
    // driver cancels it and the driver's diagnostics are raised.
    Outcome Execute(const std::wstring& sql, const std::vector<BoundValue>& values, long queryTimeout);

    // For the session pool. Reset ends whatever the last user left open
    // (a transaction, manual commit); false when the session is unusable.
    // Probe asks the server, in one round trip, whether the session still
    // works, and drops its temporary objects where the server can; false
    // for a dead session, and for one that did not answer within
    // `queryTimeout` seconds (0: no limit).
    bool Reset();
    bool Probe(long queryTimeout);

private:
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool connected_ = false;
    std::wstring completed_;
    std::wstring probe_;  // the statement Probe runs; empty: none needed
};

// Automation dates and ODBC timestamps (milliseconds kept).
SQL_TIMESTAMP_STRUCT TimestampFromDate(DATE date);
DATE DateFromTimestamp(const SQL_TIMESTAMP_STRUCT& ts);

}  // namespace adohost
