// A COM DLL of the project, as the frame's exports see it: its creatable
// classes and what registering it writes. Every DLL defines ThisModule()
// once (its classes.cpp); the frame gives it DllGetClassObject,
// DllCanUnloadNow, DllRegisterServer, DllUnregisterServer and DllInstall
// from that definition (frame/module_exports.cpp).
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

struct ModuleDefinition {
    ClassList classes;
    // The DLL's own type library (resource 1): registered first and named
    // in every class's keys. Null: the library stays embedded, unregistered.
    const GUID* libid;
    WORD libMajor, libMinor;
    // The classes' VERSION key; null: none.
    const wchar_t* libVersion;
    const wchar_t* threadingModel;
    // A further embedded library (resource 2) registered with the DLL's and
    // left registered on removal, since another DLL shares it; 0: none.
    int sharedLibraryResource;
    // Keys beyond the classes and the libraries, below the classes root
    // given (machine or user); either may be null.
    HRESULT (*registerMore)(HKEY root);
    HRESULT (*unregisterMore)(HKEY root);
};

// Defined once by every COM DLL of the project.
const ModuleDefinition& ThisModule();

// The constructor of a table entry.
template <class T>
HRESULT CreateOf(REFIID iid, void** out) { return T::CreateInstance(iid, out); }

// The entry of the DLL's table for a CLSID, or null.
const ClassEntry* FindClass(REFCLSID clsid);

}  // namespace vemo
