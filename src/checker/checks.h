// The checks, in the order they are reported: the registration's keys and
// files (registration_checks.cpp), then the live checks on the objects
// (live_checks.cpp). What the first find decides which live checks can run.
#pragma once
#include "checker/classes_view.h"
#include "checker/command_line.h"
#include "checker/report.h"
#include "vemofunction/class_table.h"

#include <windows.h>
#include <string>

namespace vemo::check {

inline constexpr int kClassCount = sizeof table::kClasses / sizeof table::kClasses[0];
inline constexpr int kInterfaceCount = sizeof table::kInterfaces / sizeof table::kInterfaces[0];

struct Context {
    Context(const Options& o, Report& r);
    const Options& options;
    Report& report;
    ClassesView view;
    std::wstring wine;  // Wine's version, empty on Windows
    // The DLL a mending command registers: /dll, else a registered file of
    // this bitness and release, else such a one beside the checker; empty
    // when none is known.
    std::wstring dllToRegister;
    std::wstring besideChecker;
    // Whether a merged view's registration is the user's (then the user's
    // command mends it).
    bool userRegistration;

    // The regsvr32 command line that registers `dll` (dllToRegister when
    // empty) for this view's bitness and scope.
    std::wstring Register(const std::wstring& dll = {}) const;
    // A sound DLL to register instead of the registered file `path`; empty
    // when none is known.
    std::wstring SoundDllOtherThan(const std::wstring& path) const;
};

struct Findings {
    bool registered = false;  // anything of the library in this view
    struct Class {
        bool progId = false;  // names the class's CLSID
        bool server = false;  // an existing file of this bitness
        std::wstring serverFile;
    } classes[kClassCount];
    bool typeLib = false;  // the type library's key, and its file exists
    bool imports = false;  // every library that VemoFunction's refers to loads
    bool interfaces[kInterfaceCount] = {};
};

void CheckRegistration(Context& c, Findings& f);
void CheckLive(Context& c, const Findings& f);

// The GUID of a text of the class table.
GUID Guid(const wchar_t* text);
bool SameGuid(const std::wstring& text, const wchar_t* want);
// A failed call as text: its HRESULT and the error information it left.
std::wstring FailureText(HRESULT hr);

}  // namespace vemo::check
