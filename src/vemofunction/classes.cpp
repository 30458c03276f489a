// The product DLL as the frame's exports see it: the four classes, the
// type library, and the keys of the two older IniFile IIDs.
#include "frame/classes.h"
#include "vemofunction/class_table.h"
#include "vemofunction/registration.h"
#include "buttons/btn.h"
#include "buttons/btns.h"
#include "settings/inifile.h"
#include "vemofuns/vemofuns.h"

namespace vemo {
namespace {

const ClassEntry kClasses[] = {
    {&CLSID_IniFile, table::kClasses[0].progId, IniFile::kInterfaces, &CreateOf<IniFile>},
    {&CLSID_VemoFuns, table::kClasses[1].progId, VemoFuns::kInterfaces, &CreateOf<VemoFuns>},
    {&CLSID_Btns, table::kClasses[2].progId, Btns::kInterfaces, &CreateOf<Btns>},
    {&CLSID_Btn, table::kClasses[3].progId, Btn::kInterfaces, &CreateOf<Btn>},
};
// The identities' text (class_table.h) lists the same classes in this order.
static_assert(sizeof kClasses / sizeof kClasses[0] == sizeof table::kClasses / sizeof table::kClasses[0]);

const ModuleDefinition kModule = {
    kClasses,
    &LIBID_VemoFunction, table::kLibMajor, table::kLibMinor, table::kLibVersion,
    table::kThreadingModel,
    0,
    &RegisterAliasInterfaces, &UnregisterAliasInterfaces,
};

}  // namespace

const ModuleDefinition& ThisModule() { return kModule; }

}  // namespace vemo
