// The class objects of a DLL's table (frame/classes.h).
#pragma once
#include "frame/classes.h"

#include <unknwn.h>

namespace vemo {

// A class factory for the class `clsid` of the DLL's table, as `iid`.
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);

}  // namespace vemo
