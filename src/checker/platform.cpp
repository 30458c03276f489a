#include "checker/platform.h"

#include <windows.h>

namespace vemo::check {

Bits OwnBits() { return sizeof(void*) == 8 ? Bits::k64 : Bits::k32; }
Bits OtherBits(Bits b) { return b == Bits::k32 ? Bits::k64 : Bits::k32; }
const wchar_t* BitsText(Bits b) { return b == Bits::k32 ? L"32-bit" : L"64-bit"; }
const wchar_t* TypeLibPlatform(Bits b) { return b == Bits::k32 ? L"win32" : L"win64"; }

bool Is64BitWindows() {
    if (OwnBits() == Bits::k64) return true;
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::wstring WineVersion() {
    // Wine's ntdll exports its version; Windows' has no such export.
    using Version = const char*(CDECL*)();
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto version = ntdll ? reinterpret_cast<Version>(GetProcAddress(ntdll, "wine_get_version")) : nullptr;
    if (!version) return {};
    const char* text = version();
    std::wstring out;
    for (; text && *text; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return out.empty() ? L"?" : out;
}

std::wstring Regsvr32For(Bits b) {
    return b == Bits::k32 && Is64BitWindows() ? L"%SystemRoot%\\SysWOW64\\regsvr32" : L"%SystemRoot%\\System32\\regsvr32";
}

}  // namespace vemo::check
