// The WiX 3 source of the installer, written from the class table that
// DllRegisterServer and the side-by-side manifest are written from
// (src/vemofunction/class_table.h): registration as registry rows, never
// self-registration.
#pragma once

#include <string>
#include <vector>

namespace vemo::msi {

enum class Arch { x86, x64 };
// Per machine: files below the program files folder, rows below
// HKLM\Software\Classes. Per user: below the user's programs folder and
// HKCU\Software\Classes; a package of its own (the notes in the README say
// why).
enum class Scope { machine, user };

struct Target {
    Arch arch;
    Scope scope;
};

bool ParseTarget(const std::string& arch, const std::string& scope, Target& target);

// One registry value below the classes root: an empty name is the key's
// default value.
struct Row {
    std::string key, name, value;
};

// What registering the DLL writes, in the order it writes it: the type
// library (with the interface keys of its dual interfaces), the classes
// with their ProgIDs, the keys of the older IniFile IIDs. `dll` and
// `folder` stand for the DLL's path and its folder. A 64-bit registration
// also writes the dual interfaces' keys in the 32-bit view.
std::vector<Row> RegistrationRows(Arch arch, const std::string& dll, const std::string& folder);

// A fragment: component group "Registration" in folder INSTALLDIR, the rows
// as registry values of one component.
std::string RegistrationFragment(const Target& target);

// The product around it: its codes, the upgrade rule, the folders, one
// component per payload file and the feature. `payload` is the folder the
// files come from (wixl runs in it: wixl takes no absolute source paths);
// VemoFunctionCheck.exe is included when it is there.
// An empty result with `error` set when the version or payload is refused.
std::string ProductSource(const Target& target, const std::string& fileVersion, const std::string& payload,
                          std::string& error);

// The package code of the summary information, which wixl draws at random.
std::string PackageCode(const Target& target, const std::string& fileVersion);

}  // namespace vemo::msi
