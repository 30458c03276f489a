// Process-wide bookkeeping of the DLL: its module handle, the count of live
// objects and class-factory locks that DllCanUnloadNow reports.
#pragma once
#include <windows.h>
#include <string>

namespace vemo {

HMODULE ModuleHandle();
std::wstring ModulePath();

void ObjectCreated();
void ObjectDestroyed();
void LockModule(bool lock);
long LiveObjectCount();
bool ModuleInUse();

}  // namespace vemo
