// A read-only view of a type library file (the MSFT format that
// CreateTypeLib2 writes and LoadTypeLib reads): its system kind and, for
// every type, the vtable layout as stored. A 32-bit client reads the stored
// slot offsets as they stand, so they can be judged here, without loading
// the library into a process (a 64-bit process scales them to its own
// pointer size). Its imported libraries are listed as the file records them:
// a reference into one resolves through the registration under that GUID,
// version and LCID. A malformed file raises std::runtime_error.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dllcheck {

struct StoredFunction {
    std::string name;
    std::int32_t memid = 0;
    int invkind = 0;          // INVOKEKIND bits
    int vtable_offset = 0;    // bytes, as stored
    int params = 0;
};

struct StoredType {
    std::string name;
    int typekind = 0;         // TKIND_*
    std::uint32_t flags = 0;  // TYPEFLAG_*
    int vtable_size = 0;      // cbSizeVft, bytes, as stored
    std::vector<StoredFunction> functions;
};

struct ImportedLibrary {
    std::string guid;         // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case
    int major = 0, minor = 0;
    std::uint32_t lcid = 0;
    std::string file;         // the file name recorded beside it
};

struct TypeLibFile {
    int syskind = 0;          // SYS_WIN32 1, SYS_WIN64 3
    std::vector<StoredType> types;
    std::vector<ImportedLibrary> imports;
};

TypeLibFile ReadTypeLib(const std::vector<std::uint8_t>& bytes);

// Failures of the vtable layout for a pointer size of `ptr_size` bytes: the
// functions of an interface (or the interface half of a dual one) fill
// consecutive slots after those it inherits (3 of IUnknown or 7 of
// IDispatch), and its vtable size ends after the last one.
std::vector<std::string> LayoutFaults(const TypeLibFile& lib, int ptr_size);

}  // namespace dllcheck
