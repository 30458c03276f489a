// What the checker knows about the system it runs on: its own bitness,
// whether Windows (or Wine) is 64-bit, and the regsvr32 that registers a
// DLL for clients of either bitness.
#pragma once
#include <string>

namespace vemo::check {

enum class Bits { k32, k64 };

Bits OwnBits();
Bits OtherBits(Bits b);
const wchar_t* BitsText(Bits b);         // "32-bit"
const wchar_t* TypeLibPlatform(Bits b);  // "win32", the type library's key
// True on 64-bit Windows (also for a 32-bit checker running in WOW64).
bool Is64BitWindows();
// Wine's version ("8.0") when the checker runs under Wine, else empty.
std::wstring WineVersion();
// The regsvr32 that registers a DLL of `b` bits, as a command to type:
// %SystemRoot%\SysWOW64\regsvr32 for 32-bit DLLs on 64-bit Windows, else
// %SystemRoot%\System32\regsvr32.
std::wstring Regsvr32For(Bits b);

}  // namespace vemo::check
