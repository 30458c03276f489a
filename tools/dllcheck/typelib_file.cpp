#include "typelib_file.h"

#include <cstdio>
#include <stdexcept>

namespace dllcheck {
namespace {

constexpr std::uint32_t kMagic = 0x5446534d;  // "MSFT"
constexpr int kHeaderSize = 0x54, kTypeInfoSize = 0x64, kSegments = 15;
constexpr int kSegTypeInfos = 0, kSegImportFiles = 2, kSegGuids = 5, kSegNames = 7;
constexpr int kTkindInterface = 3, kTkindDispatch = 4;
constexpr std::uint32_t kTypeflagDual = 0x40;

class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& b) : b_(b) {}
    std::uint32_t U32(std::size_t at) const {
        Need(at, 4);
        return b_[at] | b_[at + 1] << 8 | b_[at + 2] << 16 | static_cast<std::uint32_t>(b_[at + 3]) << 24;
    }
    std::uint8_t U8(std::size_t at) const {
        Need(at, 1);
        return b_[at];
    }
    std::uint16_t U16(std::size_t at) const {
        Need(at, 2);
        return static_cast<std::uint16_t>(b_[at] | b_[at + 1] << 8);
    }
    std::string Bytes(std::size_t at, std::size_t n) const {
        Need(at, n);
        return std::string(b_.begin() + static_cast<std::ptrdiff_t>(at), b_.begin() + static_cast<std::ptrdiff_t>(at + n));
    }

private:
    void Need(std::size_t at, std::size_t n) const {
        if (at > b_.size() || b_.size() - at < n) throw std::runtime_error("type library: read past the end");
    }
    const std::vector<std::uint8_t>& b_;
};

}  // namespace

TypeLibFile ReadTypeLib(const std::vector<std::uint8_t>& bytes) {
    Reader r(bytes);
    if (r.U32(0) != kMagic) throw std::runtime_error("type library: no MSFT signature");
    TypeLibFile lib;
    std::uint32_t varflags = r.U32(0x14);
    lib.syskind = static_cast<int>(varflags & 0xf);
    std::uint32_t count = r.U32(0x20);
    if (count > 10000) throw std::runtime_error("type library: implausible type count");
    // The offset of the help string DLL's name follows the header when present.
    std::size_t segdir = kHeaderSize + ((varflags & 0x100) ? 4 : 0) + 4u * count;
    // A segment's directory entry: its offset, its length, two reserved words.
    auto segment = [&](int i) { return r.U32(segdir + 16u * static_cast<unsigned>(i)); };
    auto segment_length = [&](int i) { return r.U32(segdir + 16u * static_cast<unsigned>(i) + 4); };
    std::size_t infos = segment(kSegTypeInfos), names = segment(kSegNames), guids = segment(kSegGuids);
    auto name_at = [&](std::uint32_t offset) {
        // A name entry: hreftype, next in hash chain, length in the low byte, text.
        std::size_t at = names + offset;
        return r.Bytes(at + 12, r.U32(at + 8) & 0xff);
    };
    for (std::uint32_t t = 0; t < count; ++t) {
        std::size_t ti = infos + static_cast<std::size_t>(kTypeInfoSize) * t;
        StoredType type;
        type.typekind = static_cast<int>(r.U32(ti) & 0xf);
        type.flags = r.U32(ti + 0x30);
        type.name = name_at(r.U32(ti + 0x34));
        type.vtable_size = r.U16(ti + 0x4e);
        std::uint32_t elements = r.U32(ti + 0x18);
        std::size_t nfuncs = elements & 0xffff, nvars = elements >> 16;
        std::size_t members = r.U32(ti + 4);
        if (nfuncs) {
            // The member block: its length, the function records, then the
            // member ids and the name offsets of all members, in order.
            std::size_t infolen = r.U32(members);
            std::size_t record = members + 4;
            std::size_t ids = members + 4 + infolen;
            std::size_t name_offsets = ids + 4 * (nfuncs + nvars);
            for (std::size_t f = 0; f < nfuncs; ++f) {
                StoredFunction fn;
                std::size_t size = r.U32(record) & 0xffff;
                if (size < 24) throw std::runtime_error("type library: short function record");
                fn.vtable_offset = r.U16(record + 12) & ~1;
                fn.invkind = static_cast<int>((r.U32(record + 16) >> 3) & 0xf);
                fn.params = r.U16(record + 20);
                fn.memid = static_cast<std::int32_t>(r.U32(ids + 4 * f));
                fn.name = name_at(r.U32(name_offsets + 4 * f));
                type.functions.push_back(fn);
                record += size;
            }
        }
        lib.types.push_back(std::move(type));
    }
    // The imported libraries: the offset of the GUID, the LCID, the major and
    // minor version, the name's length shifted left by two, the name; each
    // entry padded to four bytes.
    std::size_t imports = segment(kSegImportFiles), imports_end = imports + segment_length(kSegImportFiles);
    for (std::size_t at = imports; at < imports_end;) {
        ImportedLibrary imp;
        std::size_t g = guids + r.U32(at);
        char text[40];
        std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                      static_cast<unsigned>(r.U32(g)), r.U16(g + 4), r.U16(g + 6), r.U8(g + 8), r.U8(g + 9),
                      r.U8(g + 10), r.U8(g + 11), r.U8(g + 12), r.U8(g + 13), r.U8(g + 14), r.U8(g + 15));
        imp.guid = text;
        imp.lcid = r.U32(at + 4);
        imp.major = r.U16(at + 8);
        imp.minor = r.U16(at + 10);
        std::size_t length = r.U16(at + 12) >> 2;
        imp.file = r.Bytes(at + 14, length);
        lib.imports.push_back(std::move(imp));
        at = (at + 14 + length + 3) & ~static_cast<std::size_t>(3);
    }
    return lib;
}

std::vector<std::string> LayoutFaults(const TypeLibFile& lib, int ptr_size) {
    std::vector<std::string> faults;
    const int want_syskind = ptr_size == 4 ? 1 : 3;
    if (lib.syskind != want_syskind) {
        faults.push_back("system kind " + std::to_string(lib.syskind) + ", want " + std::to_string(want_syskind));
    }
    for (const StoredType& t : lib.types) {
        bool dual = t.typekind == kTkindDispatch && (t.flags & kTypeflagDual);
        if (t.functions.empty() || !(dual || t.typekind == kTkindInterface)) continue;
        int first = t.functions.front().vtable_offset;
        if (first != 7 * ptr_size && !(first == 3 * ptr_size && !dual)) {
            faults.push_back(t.name + ": first slot at offset " + std::to_string(first) + ", want " +
                             std::to_string(7 * ptr_size) + " (after IDispatch)");
        }
        for (std::size_t i = 0; i < t.functions.size(); ++i) {
            int want = first + static_cast<int>(i) * ptr_size;
            if (t.functions[i].vtable_offset != want) {
                faults.push_back(t.name + "." + t.functions[i].name + ": vtable offset " +
                                 std::to_string(t.functions[i].vtable_offset) + ", want " + std::to_string(want));
            }
        }
        int end = t.functions.back().vtable_offset + ptr_size;
        if (t.vtable_size != end) {
            faults.push_back(t.name + ": vtable size " + std::to_string(t.vtable_size) + ", want " + std::to_string(end));
        }
    }
    return faults;
}

}  // namespace dllcheck
