// A result set read completely into memory, each column as the ADO type
// real ADO gives it.
#include "odbc_statement.h"
#include "ado_errors.h"
#include "frame/errors.h"
#include "frame/late_bound.h"

#include <cmath>
#include <cstring>

namespace adohost {
namespace {

using vemo::Variant;

long AdoTypeOfColumn(SQLSMALLINT sqlType) {
    switch (sqlType) {
    case SQL_BIT: return adBoolean;
    case SQL_TINYINT: case SQL_SMALLINT: case SQL_INTEGER: return adInteger;
    case SQL_BIGINT: return adBigInt;
    case SQL_REAL: case SQL_FLOAT: case SQL_DOUBLE: return adDouble;
    case SQL_NUMERIC: case SQL_DECIMAL: return adNumeric;
    case SQL_TYPE_DATE: case SQL_DATE: return adDBDate;
    case SQL_TYPE_TIME: case SQL_TIME: return adDBTime;
    case SQL_TYPE_TIMESTAMP: case SQL_TIMESTAMP: return adDBTimeStamp;
    case SQL_BINARY: return adBinary;
    case SQL_VARBINARY: return adVarBinary;
    case SQL_LONGVARBINARY: return adLongVarBinary;
    case SQL_CHAR: return adChar;
    case SQL_WCHAR: return adWChar;
    case SQL_WVARCHAR: return adVarWChar;
    case SQL_LONGVARCHAR: return adLongVarChar;
    case SQL_WLONGVARCHAR: return adLongVarWChar;
    default: return adVarChar;
    }
}

// Reads a variable-length value in chunks; false when it is NULL.
bool ReadChunks(const Statement& s, SQLUSMALLINT col, SQLSMALLINT cType, std::vector<unsigned char>& out) {
    const size_t chunk = 4096;
    const size_t terminator = cType == SQL_C_WCHAR ? sizeof(SQLWCHAR) : 0;
    out.clear();
    std::vector<unsigned char> buf(chunk + terminator);
    for (;;) {
        SQLLEN got = 0;
        SQLRETURN rc = SQLGetData(s.Get(), col, cType, buf.data(), static_cast<SQLLEN>(buf.size()), &got);
        if (rc == SQL_NO_DATA) return true;
        s.Check(rc);
        if (got == SQL_NULL_DATA) return false;
        size_t n = (got == SQL_NO_TOTAL || static_cast<size_t>(got) > chunk) ? chunk : static_cast<size_t>(got);
        if (cType == SQL_C_WCHAR) n -= n % sizeof(SQLWCHAR);
        out.insert(out.end(), buf.begin(), buf.begin() + n);
        if (rc == SQL_SUCCESS) return true;
    }
}

Variant ReadValue(const Statement& s, SQLUSMALLINT col, long type) {
    SQLLEN ind = 0;
    switch (type) {
    case adBoolean: {
        unsigned char bit = 0;
        s.Check(SQLGetData(s.Get(), col, SQL_C_BIT, &bit, sizeof bit, &ind));
        if (ind == SQL_NULL_DATA) break;
        return Variant::Bool(bit != 0);
    }
    case adInteger: {
        SQLINTEGER n = 0;
        s.Check(SQLGetData(s.Get(), col, SQL_C_SLONG, &n, sizeof n, &ind));
        if (ind == SQL_NULL_DATA) break;
        return Variant::Long(n);
    }
    case adBigInt: {
        // A 32-bit value where it fits (scripts cannot hold 64-bit integers),
        // an exact decimal where it does not.
        SQLBIGINT n = 0;
        s.Check(SQLGetData(s.Get(), col, SQL_C_SBIGINT, &n, sizeof n, &ind));
        if (ind == SQL_NULL_DATA) break;
        if (n >= INT32_MIN && n <= INT32_MAX) return Variant::Long(static_cast<LONG>(n));
        DECIMAL exact;
        VarDecFromI8(n, &exact);
        return Variant::Decimal(exact);
    }
    case adDouble: {
        double d = 0;
        s.Check(SQLGetData(s.Get(), col, SQL_C_DOUBLE, &d, sizeof d, &ind));
        if (ind == SQL_NULL_DATA) break;
        return Variant::Double(d);
    }
    case adNumeric: {
        // Read as the server's text and kept exact as a Decimal, as ADO
        // gives these columns. Beyond a Decimal's 28 digits, the nearest
        // Double.
        std::vector<unsigned char> bytes;
        if (!ReadChunks(s, col, SQL_C_WCHAR, bytes)) break;
        bytes.resize(bytes.size() + sizeof(OLECHAR), 0);
        OLECHAR* text = reinterpret_cast<OLECHAR*>(bytes.data());
        const LCID invariant = MAKELCID(0x0409, SORT_DEFAULT);
        DECIMAL exact;
        if (SUCCEEDED(VarDecFromStr(text, invariant, 0, &exact))) return Variant::Decimal(exact);
        double nearest = 0;
        if (SUCCEEDED(VarR8FromStr(text, invariant, 0, &nearest))) return Variant::Double(nearest);
        RaiseProvider(L"The driver sent a number that is no number: " + std::wstring(text));
    }
    case adDBDate: case adDBTime: case adDBTimeStamp: {
        SQL_TIMESTAMP_STRUCT ts = {};
        s.Check(SQLGetData(s.Get(), col, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &ind));
        if (ind == SQL_NULL_DATA) break;
        if (type == adDBTime) ts.year = 1899, ts.month = 12, ts.day = 30;
        return Variant::Date(DateFromTimestamp(ts));
    }
    case adBinary: case adVarBinary: case adLongVarBinary: {
        std::vector<unsigned char> bytes;
        if (!ReadChunks(s, col, SQL_C_BINARY, bytes)) break;
        vemo::SafeArray a(SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size())));
        if (!a.Get()) vemo::ThrowOutOfMemory();
        if (!bytes.empty()) std::memcpy(a.Get()->pvData, bytes.data(), bytes.size());
        return Variant::Adopt(vemo::raw::Array(a.Detach(), VT_UI1));
    }
    default: {
        std::vector<unsigned char> bytes;
        if (!ReadChunks(s, col, SQL_C_WCHAR, bytes)) break;
        return Variant::Text(std::u16string_view(reinterpret_cast<const char16_t*>(bytes.data()),
                                                 bytes.size() / sizeof(char16_t)));
    }
    }
    return Variant::Null();
}

}  // namespace

std::shared_ptr<RowSet> ReadRows(const Statement& s, SQLSMALLINT count) {
    auto rows = std::make_shared<RowSet>();
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(count); ++c) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        s.Check(SQLDescribeColW(s.Get(), c, name, 256, &nameLength, &sqlType, &size, &digits, &nullable));
        rows->columns.push_back({reinterpret_cast<wchar_t*>(name), AdoTypeOfColumn(sqlType)});
    }
    for (;;) {
        SQLRETURN rc = SQLFetch(s.Get());
        if (rc == SQL_NO_DATA) break;
        s.Check(rc);
        std::vector<Variant> row;
        row.reserve(rows->columns.size());
        for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(count); ++c)
            row.push_back(ReadValue(s, c, rows->columns[c - 1].type));
        rows->rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace adohost
