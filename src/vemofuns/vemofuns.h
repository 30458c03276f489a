// The VemoFuns object: general utilities, the database methods and the form,
// toolbar and grid helpers, all on one automation object.
#pragma once
#include "frame/auto_values.h"
#include "frame/dispatch_object.h"
#include "VemoFunction_h.h"

namespace vemo {

// What IsNull and CNulls take for no value: Null, or blank text (also by
// reference).
bool IsNullOrBlank(const VARIANT& v);

class VemoFuns : public DispatchObject<VemoFuns, _VemoFuns> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];
    static const OutputParameter kOutputParameters[];

    HRESULT Initialize();

    // system paths and processes
    STDMETHODIMP ExecCmd(BSTR cmdline) override;
    STDMETHODIMP GetLocalComputerName(BSTR* result) override;
    STDMETHODIMP get_AppSystemPath(BSTR* result) override;
    STDMETHODIMP get_WinPath(BSTR* result) override;
    STDMETHODIMP get_WinSysPath(BSTR* result) override;
    STDMETHODIMP GetFullPathName(BSTR sPath, BSTR* result) override;

    // strings and nulls
    STDMETHODIMP AddStrNum(BSTR* str, BSTR* result) override;
    STDMETHODIMP CNulls(VARIANT v, VARIANT d, VARIANT* result) override;
    STDMETHODIMP IsNull(VARIANT var, VARIANT_BOOL* result) override;
    STDMETHODIMP MakeComString(BSTR strFirst, BSTR strLast, BSTR* result) override;
    STDMETHODIMP GetComString(BSTR strComString, BSTR* result) override;
    STDMETHODIMP GetString(BSTR str, short place, BSTR sep, BSTR* result) override;
    STDMETHODIMP ISIncludeChinese(BSTR sString, VARIANT_BOOL* result) override;

    // password
    STDMETHODIMP GeneratePwd(BSTR strUser, BSTR strPwd, short nUID, VARIANT* result) override;

    // forms, toolbars and grids
    STDMETHODIMP SetWindowOnTop(IDispatch* frmName, VARIANT_BOOL bOnTop, LONG* x, LONG* y, LONG* cx,
                                LONG* cy) override;
    STDMETHODIMP CenterForm(IDispatch** frmName) override;
    STDMETHODIMP SetToolBarLable(IDispatch** tlBar, VARIANT_BOOL bShowLable) override;
    STDMETHODIMP MergeRowData(IDispatch** ldg, LONG row, BSTR strRowData, BSTR* result) override;
    STDMETHODIMP MergeRowDataV5(IDispatch** ldg, LONG row, BSTR strRowData, BSTR* result) override;

    // ERP database
    STDMETHODIMP GetICMaxNum(BSTR tableName, _Connection* cn, LONG* result) override;
    STDMETHODIMP GetICBillNo(Enu_BillType enuBillID, _Connection* cnn, BSTR* result) override;
    STDMETHODIMP GetFOperate(BSTR strKEY, _Connection* sLCN, LONG* result) override;
    STDMETHODIMP GetFOperateNew(BSTR strKEY, _Connection* sLCN, BSTR* sReturn, LONG* result) override;
    STDMETHODIMP GetStockNumberByID(BSTR tBrNo, BSTR StockID, BSTR ItemID, BSTR UnitID, _Connection* cn,
                                    double* result) override;
    STDMETHODIMP OpenAccessDSN(BSTR pathName, VARIANT_BOOL bReturnAsString, VARIANT* result) override;
    STDMETHODIMP PeriodFromDate(DATE thisDate, _Connection* cnn, short* result) override;

private:
    std::u16string appSystemPath_;
    std::u16string winPath_;
    std::u16string winSysPath_;
};

}  // namespace vemo
