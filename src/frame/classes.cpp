#include "frame/classes.h"
#include "buttons/btn.h"
#include "buttons/btns.h"
#include "settings/inifile.h"
#include "util/vemofuns.h"

namespace vemo {
namespace {

template <class T>
HRESULT Create(REFIID iid, void** out) { return T::CreateInstance(iid, out); }

const ClassEntry kClasses[] = {
    {&CLSID_IniFile, L"VemoFunction.IniFile", IniFile::kInterfaces, &Create<IniFile>},
    {&CLSID_VemoFuns, L"VemoFunction.VemoFuns", VemoFuns::kInterfaces, &Create<VemoFuns>},
    {&CLSID_Btns, L"VemoFunction.Btns", Btns::kInterfaces, &Create<Btns>},
    {&CLSID_Btn, L"VemoFunction.Btn", Btn::kInterfaces, &Create<Btn>},
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
