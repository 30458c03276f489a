// What a registered file is, read without loading it: whether it exists,
// its machine type (the PE header) and its file version (the version
// resource).
#pragma once
#include "checker/platform.h"

#include <optional>
#include <string>

namespace vemo::check {

// A registered path as a file name: surrounding quotes taken off, made
// full (a bare name as found on the search path).
std::wstring FilePath(const std::wstring& registered);
bool SameFile(const std::wstring& a, const std::wstring& b);
bool FileExists(const std::wstring& path);

// The bitness of a PE file's machine (i386 or AMD64); nothing for a file
// that is no PE of either.
std::optional<Bits> PeBits(const std::wstring& path);
// The file version of its version resource, "a.b.c.d"; nothing without one.
std::optional<std::wstring> FileVersion(const std::wstring& path);

}  // namespace vemo::check
