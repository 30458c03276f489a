// QelBase.UserProfile: loads a document of the current user's profile as a
// tree of dictionaries and saves the changes made to it since the load.
#pragma once
#include "document.h"
#include "frame/dispatch_object.h"
#include "host_components_h.h"

namespace testhost {

class UserProfile : public vemo::DispatchObject<UserProfile, IUserProfile> {
public:
    static const IID* const kInterfaces[];
    static const wchar_t kErrorSource[];

    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) noexcept override;
    STDMETHODIMP Load(VARIANT* key, VARIANT* name) override;
    STDMETHODIMP get_Dictionary(IPyxDictionary** root) override;
    STDMETHODIMP Save(VARIANT* key, VARIANT* name) override;
    STDMETHODIMP Remove(VARIANT* key, VARIANT* name) override;

private:
    vemo::ComPtr<IPyxDictionary> root_;
    Node loaded_;  // the document as Load read it: what Save compares with
};

}  // namespace testhost
