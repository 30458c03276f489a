// tlbfinish: the finishing step of the VemoFunction type library.
//
// widl cannot state some things the library must carry: the predeclared-id
// flag of its coclasses, help strings on enumeration members, an empty text as
// the default of a VARIANT parameter, and control characters in help strings
// (it keeps "\r\n" as written). This build tool (run under Wine) rebuilds
// widl's output through ICreateTypeLib2, type by type, adding them:
//   - every coclass gets TYPEFLAG_FPREDECLID;
//   - every enumeration member gets its own name as its help string;
//   - the parameters named in kDefaults get their default from that table;
//   - the escapes \r and \n in help strings become CR and LF.
// Two corrections are made in the files themselves: widl's import records get
// the imported libraries' LCIDs (RecordImportLcids), and the saved library's
// Boolean defaults, of which Wine's writer keeps the low byte only, get their
// full value back (RestoreBooleanDefaults).
// Usage: tlbfinish IN.tlb OUT.tlb [IMPORT.tlb ...]; the import libraries are
// registered first (in the build's own Wine prefix) so that references into
// them resolve.
#include "frame/auto_values.h"
#include "frame/com_ptr.h"
#include "frame/typeinfo.h"

#include <windows.h>
#include <oleauto.h>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using vemo::Bstr;
using vemo::ComPtr;
using vemo::FuncDesc;
using vemo::LibAttr;
using vemo::TypeAttr;
using vemo::VarDesc;

struct DefaultFix {
    const wchar_t* type;
    const wchar_t* member;
    const wchar_t* param;
};
// The VARIANT parameters whose default is the empty text.
const DefaultFix kDefaults[] = {
    {L"_IniFile", L"GetSet", L"Defaultsetting"},
    {L"_VemoFuns", L"CNulls", L"d"},
};

// Help strings with the escapes \r and \n turned into CR and LF.
std::wstring Unescape(const wchar_t* text) {
    std::wstring out;
    for (const wchar_t* p = text; *p; ++p) {
        if (p[0] == L'\\' && (p[1] == L'r' || p[1] == L'n')) {
            out.push_back(p[1] == L'r' ? L'\r' : L'\n');
            ++p;
        } else {
            out.push_back(*p);
        }
    }
    return out;
}

#define CHECK(expr)                                                                                   \
    do {                                                                                              \
        HRESULT hr_ = (expr);                                                                         \
        if (FAILED(hr_)) {                                                                            \
            std::fprintf(stderr, "tlbfinish: %s failed: 0x%08lx (line %d)\n", #expr,                  \
                         static_cast<unsigned long>(hr_), __LINE__);                                  \
            std::exit(1);                                                                             \
        }                                                                                             \
    } while (0)

std::wstring Name(ITypeInfo* info, MEMBERID id) {
    Bstr name;
    info->GetDocumentation(id, name.Out(), nullptr, nullptr, nullptr);
    return name.Get() ? name.Get() : L"";
}

// A member's or a type's help string (null when it has none) and help
// context, handed to `set`.
template <class Set>
void CopyHelp(ITypeInfo* info, MEMBERID id, Set&& set) {
    Bstr doc;
    DWORD context = 0;
    info->GetDocumentation(id, nullptr, doc.Out(), &context, nullptr);
    const std::wstring text = doc.Get() ? Unescape(doc.Get()) : std::wstring();
    set(doc.Get() ? const_cast<LPOLESTR>(text.c_str()) : nullptr, context);
}

class Finisher {
public:
    Finisher(ITypeLib* src, ICreateTypeLib2* dst) : src_(src), dst_(dst) {
        LibAttr attr;
        CHECK(src_->GetLibAttr(attr.Out(src_.Get())));
        libid_ = attr->guid;
    }

    void Run() {
        CopyLibrary();
        UINT n = src_->GetTypeInfoCount();
        created_.resize(n);
        for (UINT i = 0; i < n; ++i) Create(i);
        for (UINT i = 0; i < n; ++i) Fill(i);
        for (UINT i = 0; i < n; ++i) CHECK(created_[i]->LayOut());
        CHECK(dst_->SaveAllChanges());
    }

private:
    void CopyLibrary() {
        LibAttr attr;
        CHECK(src_->GetLibAttr(attr.Out(src_.Get())));
        CHECK(dst_->SetGuid(attr->guid));
        CHECK(dst_->SetVersion(attr->wMajorVerNum, attr->wMinorVerNum));
        CHECK(dst_->SetLcid(attr->lcid));
        CHECK(dst_->SetLibFlags(attr->wLibFlags));
        Bstr name, doc;
        DWORD context = 0;
        CHECK(src_->GetDocumentation(-1, name.Out(), doc.Out(), &context, nullptr));
        CHECK(dst_->SetName(name.Get()));
        if (doc.Get()) CHECK(dst_->SetDocString(doc.Get()));
        CHECK(dst_->SetHelpContext(context));
    }

    // The member half of a type: the vtable part of a dual interface.
    ComPtr<ITypeInfo> Source(UINT i) {
        ComPtr<ITypeInfo> info, members;
        CHECK(src_->GetTypeInfo(i, info.Out()));
        CHECK(vemo::VtableTypeInfo(info.Get(), members.Out()));
        return members;
    }

    void Create(UINT i) {
        ComPtr<ITypeInfo> info = Source(i);
        TypeAttr attr;
        CHECK(info->GetTypeAttr(attr.Out(info.Get())));
        std::wstring name = Name(info.Get(), MEMBERID_NIL);
        ComPtr<ICreateTypeInfo> created;
        CHECK(dst_->CreateTypeInfo(const_cast<LPOLESTR>(name.c_str()), attr->typekind, created.Out()));
        CHECK(created.As(created_[i], IID_ICreateTypeInfo2));
        byGuid_[GuidKey(attr->guid)] = i;
    }

    static std::wstring GuidKey(REFGUID g) {
        wchar_t buf[40];
        StringFromGUID2(g, buf, 40);
        return buf;
    }

    // A reference in the rebuilt library to what `href` names in `from`.
    HREFTYPE MapRef(ITypeInfo* from, HREFTYPE href, ICreateTypeInfo2* to) {
        ComPtr<ITypeInfo> target;
        CHECK(from->GetRefTypeInfo(href, target.Out()));
        ComPtr<ITypeLib> lib;
        UINT index = 0;
        CHECK(target->GetContainingTypeLib(lib.Out(), &index));
        LibAttr la;
        CHECK(lib->GetLibAttr(la.Out(lib.Get())));
        if (IsEqualGUID(la->guid, libid_)) {
            TypeAttr ta;
            CHECK(target->GetTypeAttr(ta.Out(target.Get())));
            const UINT mine = byGuid_.at(GuidKey(ta->guid));
            ta.Reset();
            CHECK(created_[mine].As(target, IID_ITypeInfo));
        }
        HREFTYPE out = 0;
        CHECK(to->AddRefTypeInfo(target.Get(), &out));
        return out;
    }

    // Copies a type description, re-pointing user-defined types.
    TYPEDESC MapDesc(const TYPEDESC& d, ITypeInfo* from, ICreateTypeInfo2* to) {
        TYPEDESC out = d;
        if (d.vt == VT_PTR || d.vt == VT_SAFEARRAY) {
            keep_.push_back(std::make_unique<TYPEDESC>(MapDesc(*d.lptdesc, from, to)));
            out.lptdesc = keep_.back().get();
        } else if (d.vt == VT_USERDEFINED) {
            out.hreftype = MapRef(from, d.hreftype, to);
        } else if (d.vt == VT_CARRAY) {
            std::fprintf(stderr, "tlbfinish: fixed arrays are not used by this library\n");
            std::exit(1);
        }
        return out;
    }

    const DefaultFix* FixFor(const std::wstring& type, const std::wstring& member, const std::wstring& param) {
        for (const DefaultFix& t : kDefaults)
            if (type == t.type && member == t.member && param == t.param) return &t;
        return nullptr;
    }

    // The empty text as a parameter's default.
    struct EmptyTextDefault {
        PARAMDESCEX ex = {sizeof(PARAMDESCEX), vemo::raw::Text(SysAllocString(L""))};
        ~EmptyTextDefault() { VariantClear(&ex.varDefaultValue); }
    };

    void CopyFunctions(ITypeInfo* info, const std::wstring& typeName, ICreateTypeInfo2* to, WORD count) {
        for (UINT f = 0; f < count; ++f) {
            FuncDesc fd;
            CHECK(info->GetFuncDesc(f, fd.Out(info)));
            BSTR names[64] = {};
            UINT got = 0;
            CHECK(info->GetNames(fd->memid, names, 64, &got));
            std::vector<Bstr> owned;
            for (UINT k = 0; k < got; ++k) owned.push_back(Bstr::Attach(names[k]));
            std::wstring member = names[0] ? names[0] : L"";

            FUNCDESC copy = *fd.Get();
            std::vector<ELEMDESC> params(fd->lprgelemdescParam, fd->lprgelemdescParam + fd->cParams);
            std::vector<std::unique_ptr<EmptyTextDefault>> defaults;
            for (SHORT p = 0; p < fd->cParams; ++p) {
                params[p].tdesc = MapDesc(fd->lprgelemdescParam[p].tdesc, info, to);
                std::wstring pname = (static_cast<UINT>(p + 1) < got && names[p + 1]) ? names[p + 1] : L"";
                if ((params[p].paramdesc.wParamFlags & PARAMFLAG_FHASDEFAULT) && FixFor(typeName, member, pname)) {
                    defaults.push_back(std::make_unique<EmptyTextDefault>());
                    params[p].paramdesc.pparamdescex = &defaults.back()->ex;
                }
            }
            copy.lprgelemdescParam = params.empty() ? nullptr : params.data();
            copy.elemdescFunc.tdesc = MapDesc(fd->elemdescFunc.tdesc, info, to);
            CHECK(to->AddFuncDesc(f, &copy));
            UINT nameCount = static_cast<UINT>(fd->cParams) + 1;
            if (got < nameCount) nameCount = got;
            // Property puts may carry one name fewer (their value is unnamed).
            HRESULT named = to->SetFuncAndParamNames(f, names, nameCount);
            if (FAILED(named) && (fd->invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF)) && nameCount > 1)
                named = to->SetFuncAndParamNames(f, names, nameCount - 1);
            CHECK(named);
            CopyHelp(info, fd->memid, [&](LPOLESTR doc, DWORD context) {
                if (doc) CHECK(to->SetFuncDocString(f, doc));
                if (context) CHECK(to->SetFuncHelpContext(f, context));
            });
        }
    }

    void CopyEnumMembers(ITypeInfo* info, ICreateTypeInfo2* to, WORD count) {
        for (UINT v = 0; v < count; ++v) {
            VarDesc vd;
            CHECK(info->GetVarDesc(v, vd.Out(info)));
            std::wstring name = Name(info, vd->memid);
            CHECK(to->AddVarDesc(v, vd.Get()));
            CHECK(to->SetVarName(v, const_cast<LPOLESTR>(name.c_str())));
            // Each member's help string is its own name.
            CHECK(to->SetVarDocString(v, const_cast<LPOLESTR>(name.c_str())));
        }
    }

    void Fill(UINT i) {
        ComPtr<ITypeInfo> info = Source(i);
        ICreateTypeInfo2* to = created_[i].Get();
        TypeAttr attr;
        CHECK(info->GetTypeAttr(attr.Out(info.Get())));
        std::wstring name = Name(info.Get(), MEMBERID_NIL);
        CHECK(to->SetGuid(attr->guid));
        CHECK(to->SetVersion(attr->wMajorVerNum, attr->wMinorVerNum));
        CopyHelp(info.Get(), MEMBERID_NIL, [&](LPOLESTR doc, DWORD context) {
            if (doc) CHECK(to->SetDocString(doc));
            if (context) CHECK(to->SetHelpContext(context));
        });

        WORD flags = attr->wTypeFlags;
        switch (attr->typekind) {
        case TKIND_ALIAS: {
            TYPEDESC alias = MapDesc(attr->tdescAlias, info.Get(), to);
            CHECK(to->SetTypeDescAlias(&alias));
            break;
        }
        case TKIND_ENUM:
            CopyEnumMembers(info.Get(), to, attr->cVars);
            break;
        case TKIND_INTERFACE:
        case TKIND_DISPATCH:
        case TKIND_COCLASS:
            for (UINT k = 0; k < attr->cImplTypes; ++k) {
                HREFTYPE ref = 0;
                CHECK(info->GetRefTypeOfImplType(k, &ref));
                CHECK(to->AddImplType(k, MapRef(info.Get(), ref, to)));
                INT implFlags = 0;
                CHECK(info->GetImplTypeFlags(k, &implFlags));
                if (implFlags) CHECK(to->SetImplTypeFlags(k, implFlags));
            }
            if (attr->typekind == TKIND_COCLASS) flags |= TYPEFLAG_FPREDECLID;
            else CopyFunctions(info.Get(), name, to, attr->cFuncs);
            break;
        default:
            std::fprintf(stderr, "tlbfinish: unexpected type kind %d\n", attr->typekind);
            std::exit(1);
        }
        if (attr->typekind != TKIND_ENUM && attr->typekind != TKIND_ALIAS) CHECK(to->SetAlignment(attr->cbAlignment));
        CHECK(to->SetTypeFlags(flags));
    }

    ComPtr<ITypeLib> src_;
    ComPtr<ICreateTypeLib2> dst_;
    GUID libid_;
    std::vector<ComPtr<ICreateTypeInfo2>> created_;
    std::map<std::wstring, UINT> byGuid_;
    std::vector<std::unique_ptr<TYPEDESC>> keep_;
};

// A type library file (MSFT) as bytes, for the corrections made in the file
// itself. The header is 0x54 bytes, then the offset of the help DLL's name
// if flag 0x100 is set, then one offset per type; the segment directory
// follows (16 bytes a segment: its offset, its length, two reserved words).
class MsftFile {
public:
    enum Segment { kTypes = 0, kImportFiles = 2, kGuids = 5 };

    explicit MsftFile(const wchar_t* path) : path_(path) {
        FILE* in = _wfopen(path, L"rb");
        if (!in) Fail(L"cannot be read");
        for (int c; (c = std::fgetc(in)) != EOF;) b_.push_back(static_cast<unsigned char>(c));
        std::fclose(in);
        if (U32(0) != 0x5446534d) Fail(L"is no MSFT type library");
    }
    void Save(const wchar_t* path) const {
        FILE* out = _wfopen(path, L"wb");
        if (!out || std::fwrite(b_.data(), 1, b_.size(), out) != b_.size() || std::fclose(out) != 0) {
            std::fprintf(stderr, "tlbfinish: cannot write %ls\n", path);
            std::exit(1);
        }
    }
    DWORD U32(size_t at) const {
        Need(at, 4);
        return b_[at] | b_[at + 1] << 8 | b_[at + 2] << 16 | static_cast<DWORD>(b_[at + 3]) << 24;
    }
    WORD U16(size_t at) const {
        Need(at, 2);
        return static_cast<WORD>(b_[at] | b_[at + 1] << 8);
    }
    void Put32(size_t at, DWORD value) {
        Need(at, 4);
        for (int k = 0; k < 4; ++k) b_[at + k] = static_cast<unsigned char>(value >> (8 * k));
    }
    GUID GuidAt(size_t at) const {
        Need(at, sizeof(GUID));
        GUID g;
        std::memcpy(&g, &b_[at], sizeof g);
        return g;
    }
    DWORD TypeCount() const { return U32(0x20); }
    size_t SegmentOffset(Segment s) const { return U32(SegmentDirectory() + 16 * s); }
    size_t SegmentLength(Segment s) const { return U32(SegmentDirectory() + 16 * s + 4); }
    [[noreturn]] void Fail(const wchar_t* what) const {
        std::fprintf(stderr, "tlbfinish: %ls %ls\n", path_.c_str(), what);
        std::exit(1);
    }

private:
    size_t SegmentDirectory() const { return 0x54 + ((U32(0x14) & 0x100) ? 4 : 0) + 4 * static_cast<size_t>(TypeCount()); }
    void Need(size_t at, size_t n) const {
        if (at > b_.size() || b_.size() - at < n) Fail(L"is cut short or malformed");
    }
    std::wstring path_;
    std::vector<unsigned char> b_;
};

// widl records, for every library it imports, the LCID of the library it
// compiles rather than the imported library's own, and a reference into an
// imported library resolves through the registration under the LCID
// recorded. The import records (GUID offset, LCID, version, then the name)
// get the LCIDs of the import libraries given, so that widl's references
// resolve here, and the finished library records those LCIDs in turn.
void RecordImportLcids(MsftFile& file, const std::vector<TLIBATTR>& imports) {
    size_t at = file.SegmentOffset(MsftFile::kImportFiles);
    const size_t end = at + file.SegmentLength(MsftFile::kImportFiles);
    const size_t guids = file.SegmentOffset(MsftFile::kGuids);
    while (at < end) {
        GUID guid = file.GuidAt(guids + file.U32(at));
        for (const TLIBATTR& imp : imports) {
            if (IsEqualGUID(guid, imp.guid) && file.U16(at + 8) == imp.wMajorVerNum &&
                file.U16(at + 10) == imp.wMinorVerNum)
                file.Put32(at + 4, imp.lcid);
        }
        // The name's length is stored shifted left by two; records are padded to four bytes.
        at = (at + 14 + (file.U16(at + 12) >> 2) + 3) & ~static_cast<size_t>(3);
    }
}

// Wine's type library writer stores a Boolean default in place with its low
// byte only, so VARIANT_TRUE is saved as 0x00FF and reads back as 255, a
// value no Boolean has. A VARIANT_BOOL is 0 or -1: an in-place Boolean
// default that is not 0 is -1, and gets its 16 bits back (0xFFFF), as widl
// writes it, reading back as VT_BOOL -1.
//
// The type records (0x64 bytes each) hold at 4 the offset of the member
// block, at 0x18 the function count in the low half. The member block: its
// length, then the function records; a record's size is the low half of its
// first word, its flags (bit 0x1000: it has defaults) at 16, its parameter
// count at 20, and it ends with one default per parameter, then three words
// a parameter. An in-place default has the top bit set, the VARTYPE in the
// next five bits and the value in the low 26.
void RestoreBooleanDefaults(MsftFile& file) {
    const size_t types = file.SegmentOffset(MsftFile::kTypes);
    for (DWORD t = 0; t < file.TypeCount(); ++t) {
        const size_t type = types + 0x64 * static_cast<size_t>(t);
        const size_t functions = file.U32(type + 0x18) & 0xffff;
        size_t record = file.U32(type + 4) + 4;
        for (size_t f = 0; f < functions; ++f) {
            const size_t size = file.U32(record) & 0xffff;
            const size_t params = file.U32(record + 20) & 0xffff;
            const bool defaults = file.U32(record + 16) & 0x1000;
            if (size < 24 + (defaults ? 16 : 12) * params) file.Fail(L"has a short function record");
            if (defaults) {
                for (size_t p = 0; p < params; ++p) {
                    const size_t at = record + size - 16 * params + 4 * p;
                    const DWORD value = file.U32(at);
                    if ((value & 0x80000000) && ((value >> 26) & 0x1f) == VT_BOOL && (value & 0x3ffffff))
                        file.Put32(at, (value & ~0x3ffffffu) | 0xffff);
                }
            }
            record += size;
        }
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // --syskind=win32 in a 64-bit process writes the library Wine's writer
    // lays out for this process under the 32-bit system kind: the fault the
    // product must never ship, kept reachable so that a test can show the
    // static layout check catching it.
    SYSKIND syskind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    if (argc > 1 && std::wstring(argv[1]) == L"--syskind=win32") {
        syskind = SYS_WIN32;
        --argc;
        ++argv;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: tlbfinish [--syskind=win32] IN.tlb OUT.tlb [IMPORT.tlb ...]\n");
        return 2;
    }
    CHECK(CoInitialize(nullptr));
    std::vector<TLIBATTR> imports;
    for (int k = 3; k < argc; ++k) {
        ComPtr<ITypeLib> import;
        CHECK(LoadTypeLibEx(argv[k], REGKIND_REGISTER, import.Out()));
        LibAttr attr;
        CHECK(import->GetLibAttr(attr.Out(import.Get())));
        imports.push_back(*attr.Get());
    }
    // widl's output with the import LCIDs corrected, beside the result.
    const std::wstring input = std::wstring(argv[2]) + L".in";
    MsftFile widl(argv[1]);
    RecordImportLcids(widl, imports);
    widl.Save(input.c_str());
    {
        ComPtr<ITypeLib> src;
        CHECK(LoadTypeLibEx(input.c_str(), REGKIND_NONE, src.Out()));
        DeleteFileW(argv[2]);
        ComPtr<ICreateTypeLib2> dst;
        // The library describes the build it ships in: Win64 for the 64-bit DLL.
        CHECK(CreateTypeLib2(syskind, argv[2], dst.Out()));
        Finisher(src.Get(), dst.Get()).Run();
    }
    DeleteFileW(input.c_str());
    MsftFile finished(argv[2]);
    RestoreBooleanDefaults(finished);
    finished.Save(argv[2]);
    CoUninitialize();
    return 0;
}
