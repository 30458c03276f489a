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

const ClassEntry kClasses[] = {
    {&CLSID_PyxDictionary, L"Pyx.Dictionary", testhost::Dictionary::kInterfaces, &CreateOf<testhost::Dictionary>},
    {&CLSID_UserProfile, L"QelBase.UserProfile", testhost::UserProfile::kInterfaces, &CreateOf<testhost::UserProfile>},
    {&CLSID_ShareProps, L"Trellis.ShareProps", testhost::ShareProps::kInterfaces, &CreateOf<testhost::ShareProps>},
    {&CLSID_TallyGetData, L"Tally.GetData", testhost::TallyGetData::kInterfaces, &CreateOf<testhost::TallyGetData>},
    {&CLSID_TextValue, L"TestHost.TextValue", testhost::TextValue::kInterfaces, &CreateOf<testhost::TextValue>},
};

}  // namespace

ClassList ModuleClasses() { return kClasses; }

}  // namespace vemo
