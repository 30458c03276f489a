#include "pe_file.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace dllcheck {
namespace {

[[noreturn]] void Bad(const std::string& what) { throw std::runtime_error("not a well-formed PE file: " + what); }

constexpr std::uint32_t kDirExport = 0, kDirImport = 1, kDirResource = 2, kDirDelayImport = 13;

}  // namespace

std::string ResourceId::ToString() const {
    if (number) return std::to_string(*number);
    std::string s;
    for (char16_t c : text) s.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return s;
}

PeFile PeFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return PeFile(Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

std::uint32_t PeFile::U32(std::size_t at) const {
    if (at > image_.size() || image_.size() - at < 4) Bad("read past the end");
    return image_[at] | image_[at + 1] << 8 | image_[at + 2] << 16 | static_cast<std::uint32_t>(image_[at + 3]) << 24;
}

std::uint16_t PeFile::U16(std::size_t at) const {
    if (at > image_.size() || image_.size() - at < 2) Bad("read past the end");
    return static_cast<std::uint16_t>(image_[at] | image_[at + 1] << 8);
}

// The file offset of `length` bytes at `rva`, all inside one section's data.
std::size_t PeFile::Offset(std::uint32_t rva, std::size_t length) const {
    for (const Section& s : sections_) {
        if (rva >= s.rva && rva - s.rva < s.raw_size) {
            std::size_t into = rva - s.rva;
            if (s.raw_size - into < length) Bad("data runs out of its section");
            std::size_t at = s.raw_offset + into;
            if (at > image_.size() || image_.size() - at < length) Bad("section data past the end");
            return at;
        }
    }
    Bad("address outside every section");
}

std::string PeFile::CString(std::uint32_t rva) const {
    std::size_t at = Offset(rva, 1);
    std::string s;
    while (at < image_.size() && image_[at] != 0) {
        s.push_back(static_cast<char>(image_[at++]));
        if (s.size() > 4096) Bad("unterminated name");
    }
    return s;
}

PeFile::PeFile(Bytes image) : image_(std::move(image)) {
    if (image_.size() < 0x40 || image_[0] != 'M' || image_[1] != 'Z') Bad("no MZ header");
    std::size_t pe = U32(0x3c);
    if (U32(pe) != 0x00004550) Bad("no PE signature");
    std::size_t coff = pe + 4;
    machine_ = U16(coff);
    std::uint16_t nsections = U16(coff + 2);
    std::uint16_t optional_size = U16(coff + 16);
    characteristics_ = U16(coff + 18);
    std::size_t opt = coff + 20;
    std::uint16_t magic = U16(opt);
    if (magic != 0x10b && magic != 0x20b) Bad("unknown optional header");
    pe32_plus_ = magic == 0x20b;
    std::size_t dirs = opt + (pe32_plus_ ? 112 : 96);
    std::uint32_t ndirs = U32(dirs - 4);
    std::size_t table = opt + optional_size;
    for (std::uint16_t i = 0; i < nsections; ++i) {
        std::size_t h = table + 40u * i;
        sections_.push_back({U32(h + 12), U32(h + 8), U32(h + 20), U32(h + 16)});
    }
    auto dir = [&](std::uint32_t index) { return index < ndirs ? U32(dirs + 8u * index) : 0u; };
    if (dir(kDirExport)) ReadExports(dir(kDirExport));
    if (dir(kDirImport)) ReadImports(dir(kDirImport), false);
    if (dir(kDirDelayImport)) ReadImports(dir(kDirDelayImport), true);
    if (dir(kDirResource)) ReadResources(dir(kDirResource));
}

void PeFile::ReadExports(std::uint32_t rva) {
    std::size_t d = Offset(rva, 40);
    std::uint32_t count = U32(d + 24), names = U32(d + 32);
    if (count > 65536) Bad("too many exports");
    for (std::uint32_t i = 0; i < count; ++i) exports_.push_back(CString(U32(Offset(names + 4 * i, 4))));
}

void PeFile::ReadImports(std::uint32_t rva, bool delayed) {
    // Import descriptors are 20 bytes with the name at 12; delay-load ones 32
    // bytes with the name at 4. Both lists end with an all-zero entry.
    const std::size_t size = delayed ? 32 : 20, name_at = delayed ? 4 : 12;
    for (std::uint32_t i = 0;; ++i) {
        if (i > 4096) Bad("unterminated import table");
        std::size_t d = Offset(rva + static_cast<std::uint32_t>(size * i), size);
        std::uint32_t name = U32(d + name_at);
        if (name == 0) break;
        imports_.push_back(CString(name));
    }
}

ResourceId PeFile::EntryId(std::size_t root, std::uint32_t raw) const {
    ResourceId id;
    if (raw & 0x80000000u) {
        std::size_t at = root + (raw & 0x7fffffffu);
        std::uint16_t length = U16(at);
        for (std::uint16_t i = 0; i < length; ++i) id.text.push_back(static_cast<char16_t>(U16(at + 2 + 2u * i)));
    } else {
        id.number = static_cast<std::uint16_t>(raw);
    }
    return id;
}

// The resource tree has three levels: type, name, language; its offsets are
// relative to the start of the resource directory.
void PeFile::ReadResources(std::uint32_t rva) {
    std::size_t root = Offset(rva, 16);
    auto entries = [&](std::size_t dir) {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
        std::size_t n = static_cast<std::size_t>(U16(dir + 12)) + U16(dir + 14);
        for (std::size_t i = 0; i < n; ++i) out.emplace_back(U32(dir + 16 + 8 * i), U32(dir + 20 + 8 * i));
        return out;
    };
    auto subdir = [&](std::uint32_t value) {
        if (!(value & 0x80000000u)) Bad("resource leaf where a directory belongs");
        return root + (value & 0x7fffffffu);
    };
    for (auto [type_raw, type_value] : entries(root)) {
        for (auto [name_raw, name_value] : entries(subdir(type_value))) {
            for (auto [lang_raw, leaf] : entries(subdir(name_value))) {
                if (leaf & 0x80000000u) Bad("resource directory below the language level");
                std::size_t entry = root + leaf;
                std::uint32_t data_rva = U32(entry), size = U32(entry + 4);
                std::size_t at = Offset(data_rva, size);
                Resource r{EntryId(root, type_raw), EntryId(root, name_raw), static_cast<std::uint16_t>(lang_raw),
                           Bytes(image_.begin() + static_cast<std::ptrdiff_t>(at),
                                 image_.begin() + static_cast<std::ptrdiff_t>(at + size))};
                resources_.push_back(std::move(r));
            }
        }
    }
}

const Resource* PeFile::FindResource(const ResourceId& type, const ResourceId& name) const {
    for (const Resource& r : resources_) {
        if (r.type == type && r.name == name) return &r;
    }
    return nullptr;
}

std::optional<std::string> FileVersion(const Bytes& v) {
    // VS_FIXEDFILEINFO starts with its signature 0xFEEF04BD, 32-bit aligned.
    for (std::size_t at = 0; at + 16 <= v.size(); at += 4) {
        auto u32 = [&](std::size_t i) {
            return v[i] | v[i + 1] << 8 | v[i + 2] << 16 | static_cast<std::uint32_t>(v[i + 3]) << 24;
        };
        if (u32(at) == 0xFEEF04BDu) {
            std::uint32_t ms = u32(at + 8), ls = u32(at + 12);
            return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xffff) + "." + std::to_string(ls >> 16) +
                   "." + std::to_string(ls & 0xffff);
        }
    }
    return std::nullopt;
}

}  // namespace dllcheck
