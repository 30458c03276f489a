// The creatable classes of the library: identities and constructors, read by
// the class factory and by registration.
#pragma once
#include <windows.h>

namespace vemo {

struct ClassEntry {
    const CLSID* clsid;
    const wchar_t* progId;      // also the class description
    const IID* const* interfaces;  // the default interface's IIDs, null-ended
    HRESULT (*create)(REFIID iid, void** out);
};

// The four classes, in the order of the library's registration data.
const ClassEntry* Classes();
int ClassCount();
const ClassEntry* FindClass(REFCLSID clsid);

}  // namespace vemo
