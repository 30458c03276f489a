// AdoHost.CallRecord: a test's view of the record of what callers did with
// the ADO subset (call_record.h). Recording runs while one of these lives.
#pragma once
#include "frame/dispatch_object.h"
#include "AdoHost_h.h"

namespace adohost {

class CallRecord : public vemo::DispatchObject<CallRecord, ICallRecord> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];

    CallRecord();
    ~CallRecord() override;

    STDMETHODIMP get_Text(BSTR* value) override;
    STDMETHODIMP Clear() override;
};

}  // namespace adohost
