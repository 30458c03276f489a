// VemoFuns: the ERP database methods. Every one answers a neutral result
// instead of raising; arguments reach statement and connection texts only
// after erpdb/sql_text has made sure they cannot change them.
#include "erpdb/procedure_call.h"
#include "erpdb/sql_text.h"
#include "frame/out_values.h"
#include "util/text.h"
#include "vemofuns/vemofuns.h"

namespace vemo {
namespace {

const ProcedureParameter kTableName = {L"@TableName", kAdVarChar, kAdParamInput, 50};
const ProcedureParameter kInterId = {L"@FInterID", kAdInteger, kAdParamOutput, 0};
const ProcedureParameter kBillType = {L"@BillType", kAdInteger, kAdParamInput, 50};
const ProcedureParameter kBillId = {L"@BilliD", kAdVarChar, kAdParamOutput, 30};
const ProcedureParameter kDate = {L"@Date", kAdDBTimeStamp, kAdParamInput, 0};
const ProcedureParameter kPeriod = {L"@Period", kAdInteger, kAdParamOutput, 0};

// A Null output is a failure of the call, whatever the result type.
const VARIANT& NotNull(const Variant& v) {
    const VARIANT* p = Deref(v.Get());
    if (V_VT(p) == VT_NULL) RaiseNumber(kErrTypeMismatch);
    return *v.Get();
}

// Opens a private connection from the caller connection's text.
ComPtr<IDispatch> OpenPrivateConnection(IDispatch* callerConnection) {
    Bstr text = ConnectionText(callerConnection);
    ComPtr<IDispatch> connection = CreateObject(L"ADODB.Connection");
    Bstr none(L"");
    Call(connection.Get(), L"Open",
         {Arg::Text(text.Get()), Arg::Text(none.Get()), Arg::Text(none.Get()), Arg::Long(kAdOptionUnspecified)});
    return connection;
}

Variant Execute(IDispatch* connection, const std::u16string& statement) {
    Bstr sql(statement);
    return Call(connection, L"Execute", {Arg::Text(sql.Get()), Arg::Missing(), Arg::Long(kAdOptionUnspecified)});
}

// The switch row of a short-cut key over a private connection; writes the
// row's FID as text to `id` when asked. Raises on every failure.
LONG ReadSwitch(BSTR key, IDispatch* callerConnection, Bstr* id) {
    const std::u16string quoted = Take(SqlQuoted(TrimSpaces(View(key))));
    // Released in reverse: the recordset before its connection.
    ComPtr<IDispatch> connection = OpenPrivateConnection(callerConnection);
    std::u16string statement = id ? u"SELECT FOperate,FID FROM ICSwitch WHERE FShortCut='"
                                  : u"SELECT FOperate FROM ICSwitch WHERE FShortCut='";
    statement += quoted;
    statement += u"'";
    Variant rows = Execute(connection.Get(), statement);
    ComPtr<IDispatch> recordset = AsObject(*rows.Get());
    // -1 (count unknown) passes; an empty result then fails on the field.
    if (ToLong(*Get(recordset.Get(), L"RecordCount").Get()) == 0) RaiseNumber(kErrInvalidArgument);
    LONG operate = ToLong(NotNull(FieldValue(recordset.Get(), L"FOperate")));
    if (id) *id = ToText(NotNull(FieldValue(recordset.Get(), L"FID")));
    Call(recordset.Get(), L"Close");
    return operate;
}

// The first row's field of a statement on the caller's own connection,
// through CNulls with 0; 0 on any failure.
double FirstValueOrZero(IDispatch* connection, const std::u16string& statement, const wchar_t* field) {
    double value = 0;
    Trapped([&] {
        Variant rows = Execute(connection, statement);
        Variant v = FieldValue(AsObject(*rows.Get()).Get(), field);
        value = IsNullOrBlank(*v.Get()) ? 0.0 : ToDouble(*v.Get());
    });
    return value;
}

}  // namespace

STDMETHODIMP VemoFuns::GetICMaxNum(BSTR tableName, _Connection* cn, LONG* result) {
    return Member([&] {
        RequireOut(result);
        LONG number = -1;
        Trapped([&] {
            Variant v = CallOutputProcedure(cn, L"GetICMaxNum", kTableName, Arg::Text(tableName), kInterId);
            number = ToLong(NotNull(v));
        });
        *result = number;
    });
}

STDMETHODIMP VemoFuns::GetICBillNo(Enu_BillType enuBillID, _Connection* cnn, BSTR* result) {
    return Member([&] {
        RequireOut(result);
        Bstr bill;
        // Any value is sent as it came: the host's procedure judges it.
        Trapped([&] {
            Variant v = CallOutputProcedure(cnn, L"GetICBillNo", kBillType, Arg::Long(static_cast<LONG>(enuBillID)),
                                            kBillId);
            bill = ToText(NotNull(v));
        });
        SetOut(result, bill.View());
    });
}

STDMETHODIMP VemoFuns::PeriodFromDate(DATE thisDate, _Connection* cnn, short* result) {
    return Member([&] {
        RequireOut(result);
        short period = -1;
        Trapped([&] {
            Variant v = CallOutputProcedure(cnn, L"sp_PeriodFromDate", kDate, Arg::Date(thisDate), kPeriod);
            // Out of the 16-bit range is an overflow, hence -1.
            period = V_I2(ChangeType(NotNull(v), VT_I2).Get());
        });
        *result = period;
    });
}

STDMETHODIMP VemoFuns::GetFOperate(BSTR strKEY, _Connection* sLCN, LONG* result) {
    return Member([&] {
        RequireOut(result);
        LONG operate = -1;
        // A blank key opens no connection at all.
        if (!IsBlankText(View(strKEY))) Trapped([&] { operate = ReadSwitch(strKEY, sLCN, nullptr); });
        *result = operate;
    });
}

STDMETHODIMP VemoFuns::GetFOperateNew(BSTR strKEY, _Connection* sLCN, BSTR* sReturn, LONG* result) {
    return Member([&] {
        RequireOut(result);
        LONG operate = -1;
        Bstr id;
        if (!IsBlankText(View(strKEY))) {
            LONG read = -1;
            if (Trapped([&] { read = ReadSwitch(strKEY, sLCN, &id); })) {
                // sReturn changes only on success.
                if (sReturn) {
                    SysFreeString(*sReturn);
                    *sReturn = id.Detach();
                }
                operate = read;
            }
        }
        *result = operate;
    });
}

STDMETHODIMP VemoFuns::GetStockNumberByID(BSTR tBrNo, BSTR StockID, BSTR ItemID, BSTR UnitID, _Connection* cn,
                                          double* result) {
    return Member([&] {
        RequireOut(result);
        *result = 0;
        // Ids go into the statements bare, so anything but an integer is
        // refused; the branch number is quoted.
        const Result<std::u16string> branch = SqlQuoted(View(tBrNo));
        if (!cn || !branch.ok() || !IsPlainInteger(View(StockID)) || !IsPlainInteger(View(ItemID)) ||
            !IsPlainInteger(View(UnitID)))
            return;
        std::u16string unitStatement = u"select * from vwICUnitCoe Where FItemID=";
        unitStatement += View(UnitID);
        double coefficient = FirstValueOrZero(cn, unitStatement, L"FCoefficient");
        std::u16string stockStatement = u"select * from ICInventory Where FBrNo='";
        stockStatement += *branch;
        stockStatement += u"' AND FStockID=";
        stockStatement += View(StockID);
        stockStatement += u" AND FItemID=";
        stockStatement += View(ItemID);
        double quantity = FirstValueOrZero(cn, stockStatement, L"FQty");
        *result = coefficient * quantity;
    });
}

STDMETHODIMP VemoFuns::OpenAccessDSN(BSTR pathName, VARIANT_BOOL bReturnAsString, VARIANT* result) {
    return Member([&] {
        RequireOut(result);
        VariantInit(result);
        const Result<std::u16string> source = QuotedDataSource(View(pathName));
        if (!source.ok()) return;  // Empty: nothing opened
        ComPtr<IDispatch> connection;
        auto open = [&](const char16_t* provider) {
            connection.Reset();
            return Trapped([&] {
                std::u16string text = provider;
                text += *source;
                text += u";";
                Bstr cs(text), none(L"");
                ComPtr<IDispatch> c = CreateObject(L"ADODB.Connection");
                Call(c.Get(), L"Open",
                     {Arg::Text(cs.Get()), Arg::Text(none.Get()), Arg::Text(none.Get()), Arg::Long(kAdOptionUnspecified)});
                connection = c;
            });
        };
        // 4.0 only after 3.51 failed, whatever the reason.
        if (!open(u"PROVIDER=Microsoft.Jet.OLEDB.3.51;Data Source=") &&
            !open(u"PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source="))
            return;
        Variant out;
        if (bReturnAsString) {
            // The provider's own full form; the connection closes on release.
            Trapped([&] {
                out = Variant::Text(ToText(*Get(connection.Get(), L"ConnectionString").Get()));
            });
        } else {
            out = Variant::Object(connection.Get());
        }
        out.DetachTo(result);
    });
}

}  // namespace vemo
