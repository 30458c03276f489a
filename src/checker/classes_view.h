// The registry's classes as one kind of client sees them: the merged view
// (HKEY_CLASSES_ROOT), or only the user's (HKCU\Software\Classes) or only the
// machine's (HKLM\Software\Classes), each in the 32- or 64-bit view.
#pragma once
#include "checker/platform.h"

#include <windows.h>
#include <optional>
#include <string>

namespace vemo::check {

enum class Scope { kMerged, kUser, kMachine };

class ClassesView {
public:
    ClassesView(Scope scope, Bits bits) : scope_(scope), bits_(bits) {}
    Scope scope() const { return scope_; }
    Bits bits() const { return bits_; }
    // The same classes in the other bitness's view.
    ClassesView Other() const { return ClassesView(scope_, OtherBits(bits_)); }
    // How the output names it: "HKEY_CLASSES_ROOT, 32-bit view".
    std::wstring Name() const;

    bool HasKey(const std::wstring& path) const;
    // A text value (the default value when `name` is null); REG_EXPAND_SZ
    // expanded. Nothing when the key or value is missing or not text.
    std::optional<std::wstring> Text(const std::wstring& path, const wchar_t* name = nullptr) const;

private:
    std::wstring Path(const std::wstring& path) const;
    HKEY Root() const;

    Scope scope_;
    Bits bits_;
};

}  // namespace vemo::check
