#include "frame/classes.h"
#include "frame/class_table.h"
#include "buttons/btn.h"
#include "buttons/btns.h"
#include "settings/inifile.h"
#include "util/vemofuns.h"

namespace vemo {
namespace {

template <class T>
HRESULT Create(REFIID iid, void** out) { return T::CreateInstance(iid, out); }

const ClassEntry kClasses[] = {
    {&CLSID_IniFile, table::kClasses[0].progId, IniFile::kInterfaces, &Create<IniFile>},
    {&CLSID_VemoFuns, table::kClasses[1].progId, VemoFuns::kInterfaces, &Create<VemoFuns>},
    {&CLSID_Btns, table::kClasses[2].progId, Btns::kInterfaces, &Create<Btns>},
    {&CLSID_Btn, table::kClasses[3].progId, Btn::kInterfaces, &Create<Btn>},
};
// The identities' text (class_table.h) lists the same classes in this order.
static_assert(sizeof kClasses / sizeof kClasses[0] == sizeof table::kClasses / sizeof table::kClasses[0]);

}  // namespace

const ClassEntry* Classes() { return kClasses; }
int ClassCount() { return static_cast<int>(sizeof kClasses / sizeof kClasses[0]); }

const ClassEntry* FindClass(REFCLSID clsid) {
    for (const ClassEntry& c : kClasses)
        if (IsEqualCLSID(clsid, *c.clsid)) return &c;
    return nullptr;
}

}  // namespace vemo
