// Shared helpers of the C++ tests that run under Wine.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>

#include "frame/com_ptr.h"

using vemo::ComPtr;

inline GUID Guid(const wchar_t* text) {
    GUID g = {};
    CLSIDFromString(const_cast<LPOLESTR>(text), &g);
    return g;
}

// The library under test: VEMO_DLL names it (a Windows path).
inline std::wstring LibraryPath() {
    wchar_t buf[1024];
    DWORD n = GetEnvironmentVariableW(L"VEMO_DLL", buf, 1024);
    return n ? std::wstring(buf, n) : std::wstring(L"VemoFunction.dll");
}
