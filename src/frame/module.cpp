#include "frame/module.h"

namespace vemo {
namespace {
HMODULE gModule = nullptr;
volatile LONG gObjects = 0;
volatile LONG gLocks = 0;
}  // namespace

HMODULE ModuleHandle() { return gModule; }

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(gModule, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) { path.resize(n); return path; }
        path.resize(path.size() * 2);
    }
}

void ObjectCreated() { InterlockedIncrement(&gObjects); }
void ObjectDestroyed() { InterlockedDecrement(&gObjects); }
void LockModule(bool lock) { lock ? InterlockedIncrement(&gLocks) : InterlockedDecrement(&gLocks); }
long LiveObjectCount() { return gObjects; }
bool ModuleInUse() { return gObjects != 0 || gLocks != 0; }

}  // namespace vemo

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        vemo::gModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
