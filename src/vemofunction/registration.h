// The interface keys of the two older IniFile IIDs, which the type library
// carries only as aliases and so does not register itself.
#pragma once
#include <windows.h>

namespace vemo {

HRESULT RegisterAliasInterfaces(HKEY root);
// Removes them; the first failure is the result, after trying them all.
HRESULT UnregisterAliasInterfaces(HKEY root);

}  // namespace vemo
