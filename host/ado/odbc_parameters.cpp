// Parameter values in the form SQLBindParameter reads, checked as ADO checks them.
#include "odbc_statement.h"
#include "ado_errors.h"
#include "frame/late_bound.h"

#include <algorithm>
#include <cstring>

namespace adohost {
namespace {

using vemo::Variant;

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

}  // namespace

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

}  // namespace adohost
