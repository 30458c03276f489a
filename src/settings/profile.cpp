#include "settings/profile.h"
#include "frame/errors.h"
#include "frame/late_bound.h"

namespace vemo {

namespace {
const wchar_t kComponentKey[] = L"VemoFunction.IniFile";

// Load and Save take the component key by value and the document name by
// reference.
Variant CallWithNames(IDispatch* profile, const wchar_t* member, const std::u16string& documentName) {
    Bstr key(kComponentKey);
    Bstr name(documentName);
    return Call(profile, member, {Arg::Text(key.Get()), Arg::TextRef(name)});
}

ComPtr<IPyxDictionary> AsDictionary(const VARIANT& v) {
    ComPtr<IDispatch> object = AsObject(v);
    ComPtr<IPyxDictionary> dict;
    if (FAILED(object.As(dict, IID_IPyxDictionary))) RaiseNumber(kErrTypeMismatch);
    return dict;
}
}  // namespace

SettingsProfile::SettingsProfile(const std::u16string& documentName, std::u16string_view sectionName, bool keepForSave)
    : documentName_(documentName) {
    ComPtr<IDispatch> profile = CreateObject(L"QelBase.UserProfile");
    CallWithNames(profile.Get(), L"Load", documentName_);
    root = AsDictionary(*Get(profile.Get(), L"Dictionary").Get());
    if (keepForSave) profile_ = profile;
    profile.Reset();

    Bstr name(sectionName);
    const VARIANT nothing = raw::Object(nullptr);
    Variant found;
    Check(root->Lookup(name.Get(), nothing, found.Out()));
    // Nothing means no such section; anything but a dictionary is a failure.
    if (IsObject(*found.Get()) && !V_DISPATCH(Deref(found.Get()))) return;
    section = AsDictionary(*found.Get());
}

void SettingsProfile::Save() {
    if (!profile_) Raise(E_UNEXPECTED, L"The profile was not kept for saving");
    CallWithNames(profile_.Get(), L"Save", documentName_);
}

}  // namespace vemo
