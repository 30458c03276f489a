// The test host's component DLL as the frame's exports see it. To add a
// class: declare its interface and coclass in host_components.idl, derive
// the class from vemo::DispatchObject, and add a line here; registration
// follows the table. Both embedded type libraries are registered: resource
// 1, the components' own, and resource 2, the host's Pyx library, which
// stays registered on removal (the product's import of it is the same
// library under the same identity).
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

const ModuleDefinition kModule = {kClasses, &LIBID_TestHost, 1, 0, nullptr, L"Apartment", 2, nullptr, nullptr};

}  // namespace

const ModuleDefinition& ThisModule() { return kModule; }

}  // namespace vemo
