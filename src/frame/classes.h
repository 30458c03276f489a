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

// A DLL's creatable classes, in the order of its registration data.
struct ClassList {
    const ClassEntry* entries;
    int count;
    template <int N>
    constexpr ClassList(const ClassEntry (&table)[N]) : entries(table), count(N) {}
    const ClassEntry* begin() const { return entries; }
    const ClassEntry* end() const { return entries + count; }
};

// Defined once by every COM DLL of the project: its class table.
ClassList ModuleClasses();

// The constructor of a table entry.
template <class T>
HRESULT CreateOf(REFIID iid, void** out) { return T::CreateInstance(iid, out); }

// The entry of the DLL's table for a CLSID, or null.
const ClassEntry* FindClass(REFCLSID clsid);

}  // namespace vemo
