// Trellis.ShareProps: the login properties of each client process. Plain
// values set for a process are kept in the registry of the current user, so
// every process sees them; objects stay in the process that set them. The
// component counts its use in each process, for tests of its callers.
#pragma once
#include "frame/dispatch_object.h"
#include "host_components_h.h"

namespace testhost {

class ShareProps : public vemo::DispatchObject<ShareProps, IShareProps> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];

    ShareProps();
    ~ShareProps() override;

    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) noexcept override;
    STDMETHODIMP GetProperty(VARIANT* processId, VARIANT* name, VARIANT* value) override;
    STDMETHODIMP SetProperty(VARIANT* processId, VARIANT* name, VARIANT* value) override;
    STDMETHODIMP get_GetPropertyCalls(LONG* count) override;
    STDMETHODIMP get_LastArgumentTypes(BSTR* types) override;
    STDMETHODIMP get_InstancesCreated(LONG* count) override;
    STDMETHODIMP get_LiveInstances(LONG* count) override;
    STDMETHODIMP get_CurrentProcessId(LONG* pid) override;
    STDMETHODIMP FailGetProperty(LONG call, LONG hr, BSTR description) override;
};

// A text whose default member is the text itself.
class TextValue : public vemo::DispatchObject<TextValue, ITextValue> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];

    STDMETHODIMP get_Value(BSTR* text) override;
    STDMETHODIMP put_Value(BSTR text) override;

private:
    std::u16string text_;
};

}  // namespace testhost
