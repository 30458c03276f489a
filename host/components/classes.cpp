// The classes of the test host's component DLL. To add one: declare its
// interface and coclass in host_components.idl, derive the class from
// vemo::DispatchObject, and add a line here; registration follows the table.
#include "frame/classes.h"
#include "dictionary.h"
#include "share_props.h"
#include "tally_get_data.h"
#include "user_profile.h"

namespace vemo {
namespace {

template <class T>
HRESULT Create(REFIID iid, void** out) { return T::CreateInstance(iid, out); }

const ClassEntry kClasses[] = {
    {&CLSID_PyxDictionary, L"Pyx.Dictionary", testhost::Dictionary::kInterfaces, &Create<testhost::Dictionary>},
    {&CLSID_UserProfile, L"QelBase.UserProfile", testhost::UserProfile::kInterfaces, &Create<testhost::UserProfile>},
    {&CLSID_ShareProps, L"Trellis.ShareProps", testhost::ShareProps::kInterfaces, &Create<testhost::ShareProps>},
    {&CLSID_TallyGetData, L"Tally.GetData", testhost::TallyGetData::kInterfaces, &Create<testhost::TallyGetData>},
    {&CLSID_TextValue, L"TestHost.TextValue", testhost::TextValue::kInterfaces, &Create<testhost::TextValue>},
};

}  // namespace

const ClassEntry* Classes() { return kClasses; }
int ClassCount() { return static_cast<int>(sizeof kClasses / sizeof kClasses[0]); }

const ClassEntry* FindClass(REFCLSID clsid) {
    for (const ClassEntry& c : kClasses)
        if (IsEqualCLSID(clsid, *c.clsid)) return &c;
    return nullptr;
}

}  // namespace vemo
