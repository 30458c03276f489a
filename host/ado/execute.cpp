#include "execute.h"
#include "ado_errors.h"
#include "recordset.h"

#include <cwctype>

namespace adohost {
namespace {

// A table or procedure name goes into the statement bare, so it must be a
// plain (possibly schema-qualified) identifier.
const std::wstring& CheckedName(const std::wstring& name) {
    bool ok = !name.empty();
    bool start = true;
    for (wchar_t c : name) {
        if (c == L'.') {
            ok = ok && !start;
            start = true;
            continue;
        }
        bool letter = std::iswalpha(c) || c == L'_' || c > 0x7F;
        bool digit = (c >= L'0' && c <= L'9') || c == L'$';
        ok = ok && (letter || (digit && !start));
        start = false;
    }
    if (!ok || start) RaiseProvider(L"'" + name + L"' is not a valid table or procedure name.");
    return name;
}

VARTYPE VarTypeOf(long type) {
    switch (type) {
    case adSmallInt: return VT_I2;
    case adInteger: return VT_I4;
    case adSingle: case adDouble: return VT_R8;
    case adCurrency: return VT_CY;
    case adDecimal: case adNumeric: case adVarNumeric: return VT_DECIMAL;
    case adDate: case adDBDate: case adDBTime: case adDBTimeStamp: return VT_DATE;
    case adBoolean: return VT_BOOL;
    case adTinyInt: case adUnsignedTinyInt: return VT_UI1;
    case adBSTR: case adChar: case adWChar: case adVarChar: case adLongVarChar: case adVarWChar:
    case adLongVarWChar: case adGUID:
        return VT_BSTR;
    default: return VT_EMPTY;
    }
}

// An output value in the parameter's type where it converts; as the server
// sent it otherwise.
void SetOutput(Parameter& p, const VARIANT& v) {
    vemo::Variant value;
    VARTYPE vt = VarTypeOf(p.type);
    if (V_VT(&v) == VT_NULL || vt == VT_EMPTY ||
        FAILED(VariantChangeType(value.Get(), const_cast<VARIANT*>(&v), 0, vt)))
        vemo::Check(VariantCopy(value.Out(), const_cast<VARIANT*>(&v)));
    p.value = std::move(value);
}

void SetNull(Parameter& p) { p.value = vemo::Variant::Null(); }

}  // namespace

long EffectiveKind(long options, long own) {
    if (options != adCmdUnspecified && (options & 0x20F)) return options & 0x20F;
    return own;
}

ComPtr<_Recordset> RunCommand(OdbcSession& session, const std::wstring& text, long kind,
                              const std::vector<ComPtr<Parameter>>& params, VARIANT* recordsAffected, long timeout,
                              bool clientCursor) {
    static VARIANT null = vemo::raw::Of(VT_NULL);
    std::vector<BoundValue> values;
    std::vector<Parameter*> outputs;
    for (const ComPtr<Parameter>& p : params) {
        if (p->direction == adParamReturnValue) continue;
        bool output = p->direction == adParamOutput || p->direction == adParamInputOutput;
        values.push_back({p->type, p->size, p->direction == adParamOutput ? &null : p->value.Get()});
        if (output) outputs.push_back(p.Get());
    }
    std::wstring sql;
    switch (kind) {
    case adCmdStoredProc:
        sql = L"CALL " + CheckedName(text) + L"(";
        for (size_t i = 0; i < values.size(); ++i) sql += i ? L", ?" : L"?";
        sql += L")";
        break;
    case adCmdTable:
    case adCmdTableDirect:
        sql = L"SELECT * FROM " + CheckedName(text);
        break;
    case adCmdFile:
        RaiseAdo(kBadArguments);
    default:
        sql = text;
        break;
    }
    Outcome outcome = session.Execute(sql, values, timeout);
    if (kind == adCmdStoredProc) {
        for (const ComPtr<Parameter>& p : params)
            if (p->direction == adParamReturnValue) SetNull(*p.Get());
        const RowSet* rows = outcome.rows.get();
        for (size_t i = 0; i < outputs.size(); ++i) {
            if (rows && !rows->rows.empty() && i < rows->columns.size())
                SetOutput(*outputs[i], *rows->rows.front()[i].Get());
            else
                SetNull(*outputs[i]);
        }
    }
    if (recordsAffected) {
        VARIANT* target = recordsAffected;
        if (V_VT(target) == (VT_BYREF | VT_VARIANT)) target = V_VARIANTREF(target);
        if (V_VT(target) == (VT_BYREF | VT_I4)) {
            *V_I4REF(target) = outcome.affected;
        } else if (!(V_VT(target) & VT_BYREF) && !vemo::IsMissing(target)) {
            VariantClear(target);
            *target = vemo::raw::Long(outcome.affected);
        }
    }
    return Recordset::Over(std::move(outcome.rows), clientCursor);
}

}  // namespace adohost
