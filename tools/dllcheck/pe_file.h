// A read-only view of a Windows PE file (DLL or EXE) for checks that must
// not run it: machine, exports, imports and resources. Portable C++; a file
// that is not a well-formed PE image raises std::runtime_error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dllcheck {

using Bytes = std::vector<std::uint8_t>;

// A resource's type or name: a number or a text.
struct ResourceId {
    std::optional<std::uint16_t> number;
    std::u16string text;
    bool operator==(const ResourceId& other) const { return number == other.number && text == other.text; }
    std::string ToString() const;
};

struct Resource {
    ResourceId type, name;
    std::uint16_t language = 0;
    Bytes data;
};

class PeFile {
public:
    explicit PeFile(Bytes image);
    static PeFile Load(const std::string& path);

    std::uint16_t machine() const { return machine_; }
    bool is_pe32_plus() const { return pe32_plus_; }
    bool is_dll() const { return (characteristics_ & 0x2000) != 0; }
    const std::vector<std::string>& export_names() const { return exports_; }
    // DLL names of the import and delay-import tables, as written.
    const std::vector<std::string>& imported_dlls() const { return imports_; }
    const std::vector<Resource>& resources() const { return resources_; }
    const Resource* FindResource(const ResourceId& type, const ResourceId& name) const;

private:
    struct Section {
        std::uint32_t rva, virtual_size, raw_offset, raw_size;
    };
    std::size_t Offset(std::uint32_t rva, std::size_t length) const;
    std::uint32_t U32(std::size_t at) const;
    std::uint16_t U16(std::size_t at) const;
    std::string CString(std::uint32_t rva) const;
    void ReadExports(std::uint32_t rva);
    void ReadImports(std::uint32_t rva, bool delayed);
    void ReadResources(std::uint32_t rva);
    ResourceId EntryId(std::size_t root, std::uint32_t raw) const;

    Bytes image_;
    std::uint16_t machine_ = 0, characteristics_ = 0;
    bool pe32_plus_ = false;
    std::vector<Section> sections_;
    std::vector<std::string> exports_, imports_;
    std::vector<Resource> resources_;
};

// The four parts of VS_FIXEDFILEINFO's file version, from a VERSION resource.
std::optional<std::string> FileVersion(const Bytes& version_resource);

}  // namespace dllcheck
