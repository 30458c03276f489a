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

class OdbcSession {
public:
    // Connects with SQLDriverConnectW; a failure raises the driver's diagnostics.
    explicit OdbcSession(const std::wstring& connectionString);
    ~OdbcSession();
    OdbcSession(const OdbcSession&) = delete;
    OdbcSession& operator=(const OdbcSession&) = delete;

    // The complete connection string that the driver reports.
    const std::wstring& CompletedString() const { return completed_; }
    Outcome Execute(const std::wstring& sql, const std::vector<BoundValue>& values);

private:
    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool connected_ = false;
    std::wstring completed_;
};

// Automation dates and ODBC timestamps (milliseconds kept).
SQL_TIMESTAMP_STRUCT TimestampFromDate(DATE date);
DATE DateFromTimestamp(const SQL_TIMESTAMP_STRUCT& ts);

}  // namespace adohost
