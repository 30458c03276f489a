#include <cwctype>
#include "odbc.h"
#include "ado_errors.h"
#include "frame/late_bound.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace adohost {
namespace {

using vemo::Variant;

// Every diagnostic record of a handle, as one text.
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

// Howard Hinnant's days-from-civil and its inverse, for the proleptic
// Gregorian calendar that automation dates use.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp + (mp < 10 ? 3 : -9);
    y += m <= 2;
}

const long long kDayZero = DaysFromCivil(1899, 12, 30);
const long long kMsPerDay = 86400000;

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

template <class T>
void Store(Binding& b, const T& v) {
    b.data.resize(sizeof v);
    std::memcpy(b.data.data(), &v, sizeof v);
    b.indicator = sizeof v;
}

void StoreText(Binding& b, const std::u16string_view& text, long size) {
    b.data.resize((text.size() + 1) * sizeof(char16_t));
    std::memcpy(b.data.data(), text.data(), text.size() * sizeof(char16_t));
    b.indicator = static_cast<SQLLEN>(text.size() * sizeof(char16_t));
    b.columnSize = std::max<SQLULEN>({SQLULEN(1), static_cast<SQLULEN>(size > 0 ? size : 0), static_cast<SQLULEN>(text.size())});
}

// As ADO does: a value longer than its parameter's declared size is the
// wrong-type error, never cut short on the way to the server.
void CheckSize(size_t length, long size) {
    if (size > 0 && length > static_cast<size_t>(size)) RaiseAdo(kWrongType);
}

long TypeOfValue(const VARIANT& v) {
    switch (V_VT(&v)) {
    case VT_I1: case VT_I2: case VT_I4: case VT_INT: case VT_UI1: case VT_UI2: return adInteger;
    case VT_UI4: case VT_UINT: case VT_I8: case VT_UI8: return adBigInt;
    case VT_R4: case VT_R8: return adDouble;
    case VT_CY: case VT_DECIMAL: return adNumeric;
    case VT_DATE: return adDBTimeStamp;
    case VT_BOOL: return adBoolean;
    case VT_ARRAY | VT_UI1: return adVarBinary;
    default: return adVarWChar;
    }
}

Binding Bind(const BoundValue& bv) {
    Binding b;
    const VARIANT& v = *vemo::Deref(bv.value);
    long type = bv.type == adEmpty ? TypeOfValue(v) : bv.type;
    bool null = V_VT(&v) == VT_EMPTY || V_VT(&v) == VT_NULL ||
                (V_VT(&v) == VT_ERROR && V_ERROR(&v) == DISP_E_PARAMNOTFOUND);
    // A value that does not fit the parameter's type is ADO's wrong-type error.
    auto convert = [&](VARTYPE vt) {
        Variant out;
        if (FAILED(VariantChangeTypeEx(out.Get(), const_cast<VARIANT*>(&v), LOCALE_USER_DEFAULT, 0, vt)))
            RaiseAdo(kWrongType);
        return out;
    };
    switch (type) {
    case adSmallInt: case adInteger: case adTinyInt: case adUnsignedTinyInt: case adUnsignedSmallInt:
        b.cType = SQL_C_SLONG;
        b.sqlType = SQL_INTEGER;
        b.columnSize = 10;
        if (!null) Store(b, static_cast<SQLINTEGER>(V_I4(convert(VT_I4).Get())));
        break;
    case adUnsignedInt: case adBigInt: case adUnsignedBigInt:
        b.cType = SQL_C_SBIGINT;
        b.sqlType = SQL_BIGINT;
        b.columnSize = 19;
        if (!null) Store(b, static_cast<SQLBIGINT>(V_I8(convert(VT_I8).Get())));
        break;
    case adSingle: case adDouble:
        b.cType = SQL_C_DOUBLE;
        b.sqlType = SQL_DOUBLE;
        b.columnSize = 15;
        if (!null) Store(b, V_R8(convert(VT_R8).Get()));
        break;
    case adCurrency: case adDecimal: case adNumeric: case adVarNumeric: {
        // As text in the invariant form, so the server reads an exact number.
        b.sqlType = SQL_NUMERIC;
        b.columnSize = 38;
        b.digits = 10;
        if (!null) {
            Variant number = convert(VT_DECIMAL), text;
            if (FAILED(VariantChangeTypeEx(text.Get(), number.Get(), MAKELCID(0x0409, SORT_DEFAULT), 0, VT_BSTR)))
                RaiseAdo(kWrongType);
            StoreText(b, vemo::View(V_BSTR(text.Get())), 0);
            b.columnSize = 38;
        }
        break;
    }
    case adBoolean:
        b.cType = SQL_C_BIT;
        b.sqlType = SQL_BIT;
        if (!null) Store(b, static_cast<unsigned char>(V_BOOL(convert(VT_BOOL).Get()) ? 1 : 0));
        break;
    case adDate: case adDBDate: case adDBTime: case adDBTimeStamp:
        b.cType = SQL_C_TYPE_TIMESTAMP;
        b.sqlType = SQL_TYPE_TIMESTAMP;
        b.columnSize = 23;
        b.digits = 3;
        if (!null) Store(b, TimestampFromDate(V_DATE(convert(VT_DATE).Get())));
        break;
    case adBinary: case adVarBinary: case adLongVarBinary: {
        b.cType = SQL_C_BINARY;
        b.sqlType = SQL_VARBINARY;
        b.columnSize = std::max<SQLULEN>(1, bv.size > 0 ? bv.size : 0);
        if (!null) {
            if (V_VT(&v) != (VT_ARRAY | VT_UI1) || SafeArrayGetDim(V_ARRAY(&v)) != 1) RaiseAdo(kWrongType);
            SAFEARRAY* a = V_ARRAY(&v);
            size_t n = a->rgsabound[0].cElements;
            CheckSize(n, bv.size);
            b.data.resize(n ? n : 1);
            if (n) std::memcpy(b.data.data(), a->pvData, n);
            b.indicator = static_cast<SQLLEN>(n);
            b.columnSize = std::max<SQLULEN>(b.columnSize, n);
        }
        break;
    }
    default: {  // the text types
        b.cType = SQL_C_WCHAR;
        bool wide = type == adWChar || type == adVarWChar || type == adLongVarWChar || type == adBSTR;
        b.sqlType = wide ? SQL_WVARCHAR : SQL_VARCHAR;
        b.columnSize = std::max<SQLULEN>(1, bv.size > 0 ? bv.size : 0);
        if (!null) {
            Variant text = convert(VT_BSTR);
            std::u16string_view chars = vemo::View(V_BSTR(text.Get()));
            CheckSize(chars.size(), bv.size);
            StoreText(b, chars, bv.size);
        }
        break;
    }
    }
    if (null) {
        b.data.assign(1, 0);
        b.indicator = SQL_NULL_DATA;
    }
    return b;
}

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
    Variant v;
    VARIANT* p = v.Get();
    SQLLEN ind = 0;
    switch (type) {
    case adBoolean: {
        unsigned char bit = 0;
        s.Check(SQLGetData(s.Get(), col, SQL_C_BIT, &bit, sizeof bit, &ind));
        if (ind == SQL_NULL_DATA) break;
        V_VT(p) = VT_BOOL;
        V_BOOL(p) = bit ? VARIANT_TRUE : VARIANT_FALSE;
        return v;
    }
    case adInteger: {
        SQLINTEGER n = 0;
        s.Check(SQLGetData(s.Get(), col, SQL_C_SLONG, &n, sizeof n, &ind));
        if (ind == SQL_NULL_DATA) break;
        V_VT(p) = VT_I4;
        V_I4(p) = n;
        return v;
    }
    case adBigInt: {
        // A 32-bit value where it fits (scripts cannot hold 64-bit integers),
        // an exact decimal where it does not.
        SQLBIGINT n = 0;
        s.Check(SQLGetData(s.Get(), col, SQL_C_SBIGINT, &n, sizeof n, &ind));
        if (ind == SQL_NULL_DATA) break;
        if (n >= INT32_MIN && n <= INT32_MAX) {
            V_VT(p) = VT_I4;
            V_I4(p) = static_cast<LONG>(n);
        } else {
            V_VT(p) = VT_DECIMAL;
            VarDecFromI8(n, &V_DECIMAL(p));
            V_VT(p) = VT_DECIMAL;
        }
        return v;
    }
    case adDouble: {
        double d = 0;
        s.Check(SQLGetData(s.Get(), col, SQL_C_DOUBLE, &d, sizeof d, &ind));
        if (ind == SQL_NULL_DATA) break;
        V_VT(p) = VT_R8;
        V_R8(p) = d;
        return v;
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
        if (SUCCEEDED(VarDecFromStr(text, invariant, 0, &V_DECIMAL(p)))) {
            V_VT(p) = VT_DECIMAL;
        } else if (SUCCEEDED(VarR8FromStr(text, invariant, 0, &V_R8(p)))) {
            V_VT(p) = VT_R8;
        } else {
            RaiseProvider(L"The driver sent a number that is no number: " + std::wstring(text));
        }
        return v;
    }
    case adDBDate: case adDBTime: case adDBTimeStamp: {
        SQL_TIMESTAMP_STRUCT ts = {};
        s.Check(SQLGetData(s.Get(), col, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &ind));
        if (ind == SQL_NULL_DATA) break;
        if (type == adDBTime) ts.year = 1899, ts.month = 12, ts.day = 30;
        V_VT(p) = VT_DATE;
        V_DATE(p) = DateFromTimestamp(ts);
        return v;
    }
    case adBinary: case adVarBinary: case adLongVarBinary: {
        std::vector<unsigned char> bytes;
        if (!ReadChunks(s, col, SQL_C_BINARY, bytes)) break;
        SAFEARRAY* a = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
        if (!a) vemo::ThrowOutOfMemory();
        if (!bytes.empty()) std::memcpy(a->pvData, bytes.data(), bytes.size());
        V_VT(p) = VT_ARRAY | VT_UI1;
        V_ARRAY(p) = a;
        return v;
    }
    default: {
        std::vector<unsigned char> bytes;
        if (!ReadChunks(s, col, SQL_C_WCHAR, bytes)) break;
        BSTR text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(bytes.data()),
                                      static_cast<UINT>(bytes.size() / sizeof(OLECHAR)));
        if (!text) vemo::ThrowOutOfMemory();
        V_VT(p) = VT_BSTR;
        V_BSTR(p) = text;
        return v;
    }
    }
    V_VT(p) = VT_NULL;
    return v;
}

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

}  // namespace

bool IsKnownType(long type) {
    switch (type) {
    case adEmpty: case adSmallInt: case adInteger: case adSingle: case adDouble: case adCurrency: case adDate:
    case adBSTR: case adBoolean: case adDecimal: case adTinyInt: case adUnsignedTinyInt: case adUnsignedSmallInt:
    case adUnsignedInt: case adBigInt: case adUnsignedBigInt: case adGUID: case adBinary: case adChar: case adWChar:
    case adNumeric: case adDBDate: case adDBTime: case adDBTimeStamp: case adVarNumeric: case adVarChar:
    case adLongVarChar: case adVarWChar: case adLongVarWChar: case adVarBinary: case adLongVarBinary:
        return true;
    default:
        return false;
    }
}

SQL_TIMESTAMP_STRUCT TimestampFromDate(DATE date) {
    // The integral part counts days from 1899-12-30; the fraction is the time
    // of day, counted away from zero for dates before that day.
    double day = std::trunc(date);
    long long ms = std::llround(std::fabs(date - day) * kMsPerDay);
    long long days = static_cast<long long>(day);
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        days += 1;
    }
    long long y;
    unsigned m, d;
    CivilFromDays(kDayZero + days, y, m, d);
    SQL_TIMESTAMP_STRUCT ts = {};
    ts.year = static_cast<SQLSMALLINT>(y);
    ts.month = static_cast<SQLUSMALLINT>(m);
    ts.day = static_cast<SQLUSMALLINT>(d);
    ts.hour = static_cast<SQLUSMALLINT>(ms / 3600000);
    ts.minute = static_cast<SQLUSMALLINT>(ms / 60000 % 60);
    ts.second = static_cast<SQLUSMALLINT>(ms / 1000 % 60);
    ts.fraction = static_cast<SQLUINTEGER>(ms % 1000 * 1000000);
    return ts;
}

DATE DateFromTimestamp(const SQL_TIMESTAMP_STRUCT& ts) {
    long long days = DaysFromCivil(ts.year, ts.month, ts.day) - kDayZero;
    long long ms = ((ts.hour * 60LL + ts.minute) * 60 + ts.second) * 1000 + (ts.fraction + 500000) / 1000000;
    double time = static_cast<double>(ms) / kMsPerDay;
    return days >= 0 ? days + time : days - time;
}

namespace {

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

bool OdbcSession::Probe() {
    SQLUINTEGER dead = SQL_CD_FALSE;
    if (SQL_SUCCEEDED(SQLGetConnectAttrW(dbc_, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) && dead == SQL_CD_TRUE)
        return false;
    if (probe_.empty()) return true;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt))) return false;
    std::vector<SQLWCHAR> text(probe_.begin(), probe_.end());
    text.push_back(0);
    bool alive = SQL_SUCCEEDED(SQLExecDirectW(stmt, text.data(), SQL_NTS));
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return alive;
}

Outcome OdbcSession::Execute(const std::wstring& sql, const std::vector<BoundValue>& values, long queryTimeout) {
    Statement s(dbc_);
    SQLSetStmtAttrW(s.Get(), SQL_ATTR_QUERY_TIMEOUT,
                    reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(queryTimeout > 0 ? queryTimeout : 0)), 0);
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
