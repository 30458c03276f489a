#include "user_profile.h"
#include "store.h"
#include "values.h"
#include "caller_arguments.h"
#include "frame/late_bound.h"
#include "frame/out_values.h"

namespace testhost {

using namespace vemo;

const IID* const UserProfile::kInterfaces[] = {&IID_IUserProfile, nullptr};
const wchar_t UserProfile::kErrorSource[] = L"QelBase.UserProfile";

namespace {

std::wstring PathOf(VARIANT* key, VARIANT* name) {
    if (!key || !name) Raise(E_POINTER, L"A document needs a key and a name");
    Bstr k = ToText(*key);
    Bstr n = ToText(*name);
    return DocumentPath(k.View(), n.View());
}

}  // namespace

STDMETHODIMP UserProfile::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* excep, UINT* argErr) noexcept {
    return Sealed([&] {
        WriteBackTexts(params);
        return DispatchObject::Invoke(id, riid, lcid, flags, params, result, excep, argErr);
    });
}

STDMETHODIMP UserProfile::Load(VARIANT* key, VARIANT* name) {
    return Member([&] {
        const std::wstring path = PathOf(key, name);
        Node node;
        {
            // A damaged document is kept aside and this one starts empty.
            DocumentLock lock(path);
            ReadDocument(path, node);
        }
        root_ = Build(node);
        loaded_ = std::move(node);
    });
}

STDMETHODIMP UserProfile::get_Dictionary(IPyxDictionary** root) {
    return Member([&] {
        RequireOut(root);
        if (!root_) Raise(ControlError(kErrObjectNotSet), L"No profile document has been loaded");
        *root = ComPtr<IPyxDictionary>(root_).Detach();
    });
}

STDMETHODIMP UserProfile::Save(VARIANT* key, VARIANT* name) {
    return Member([&] {
        if (!root_) Raise(ControlError(kErrObjectNotSet), L"No profile document has been loaded");
        const std::wstring path = PathOf(key, name);
        Node now;
        Capture(root_.Get(), now);
        {
            // Only what this object changed goes onto the document as it is
            // stored now; what others saved since our Load stays.
            DocumentLock lock(path);
            // A document damaged since then is kept aside, and what this
            // object holds takes its place whole.
            Node stored;
            if (ReadDocument(path, stored)) {
                ApplyChanges(loaded_, now, stored);
                WriteDocument(path, stored);
            } else {
                WriteDocument(path, now);
            }
        }
        loaded_ = std::move(now);
    });
}

STDMETHODIMP UserProfile::Remove(VARIANT* key, VARIANT* name) {
    return Member([&] {
        const std::wstring path = PathOf(key, name);
        DocumentLock lock(path);
        DeleteDocument(path);
    });
}

}  // namespace testhost
