// Tally.GetData: the host's data-access component. The property string of a
// login is the ADO connection string of the login's database; each call
// opens its own connection through ADODB.Connection, runs the text, and
// closes the connection before returning (the recordsets of the test host's
// ADO are read into memory and do not need it).
#pragma once
#include "frame/dispatch_object.h"
#include "host_components_h.h"

namespace testhost {

class TallyGetData : public vemo::DispatchObject<TallyGetData, ITallyGetData> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];

    TallyGetData();
    ~TallyGetData() override;

    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) noexcept override;
    STDMETHODIMP ExecuteSQL(VARIANT* propsString, VARIANT* sql, VARIANT* result) override;
    STDMETHODIMP get_LastSql(BSTR* sql) override;
    STDMETHODIMP get_LastArgumentTypes(BSTR* types) override;
    STDMETHODIMP get_LiveInstances(LONG* count) override;
    STDMETHODIMP AnswerNext(VARIANT value) override;
};

}  // namespace testhost
