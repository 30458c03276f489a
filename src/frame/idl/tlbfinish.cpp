// tlbfinish: the finishing step of the VemoFunction type library.
//
// widl cannot state some things the library must carry: the predeclared-id
// flag of its coclasses, help strings on enumeration members, an empty text as
// the default of a VARIANT parameter, a Boolean default stated as VT_BOOL true,
// and control characters in help strings (it keeps "\r\n" as
// written). This build tool (run under Wine) rebuilds widl's output through
// ICreateTypeLib2, type by type, adding them:
//   - every coclass gets TYPEFLAG_FPREDECLID;
//   - every enumeration member gets its own name as its help string;
//   - the parameters named in kDefaults get their default from that table;
//   - the escapes \r and \n in help strings become CR and LF.
// Usage: tlbfinish IN.tlb OUT.tlb [IMPORT.tlb ...]; the import libraries are
// registered first (in the build's own Wine prefix) so that references into
// them resolve.
#include <windows.h>
#include <oleauto.h>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

struct DefaultFix {
    const wchar_t* type;
    const wchar_t* member;
    const wchar_t* param;
    VARTYPE vt;  // VT_BSTR: the empty text; VT_BOOL: true
};
const DefaultFix kDefaults[] = {
    {L"_IniFile", L"GetSet", L"Defaultsetting", VT_BSTR},
    {L"_VemoFuns", L"CNulls", L"d", VT_BSTR},
    {L"_VemoFuns", L"OpenAccessDSN", L"bReturnAsString", VT_BOOL},
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
    BSTR name = nullptr;
    info->GetDocumentation(id, &name, nullptr, nullptr, nullptr);
    std::wstring s = name ? name : L"";
    SysFreeString(name);
    return s;
}

class Finisher {
public:
    Finisher(ITypeLib* src, ICreateTypeLib2* dst) : src_(src), dst_(dst) {
        TLIBATTR* attr = nullptr;
        CHECK(src_->GetLibAttr(&attr));
        libid_ = attr->guid;
        src_->ReleaseTLibAttr(attr);
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
        TLIBATTR* attr = nullptr;
        CHECK(src_->GetLibAttr(&attr));
        CHECK(dst_->SetGuid(attr->guid));
        CHECK(dst_->SetVersion(attr->wMajorVerNum, attr->wMinorVerNum));
        CHECK(dst_->SetLcid(attr->lcid));
        CHECK(dst_->SetLibFlags(attr->wLibFlags));
        src_->ReleaseTLibAttr(attr);
        BSTR name = nullptr, doc = nullptr;
        DWORD context = 0;
        CHECK(src_->GetDocumentation(-1, &name, &doc, &context, nullptr));
        CHECK(dst_->SetName(name));
        if (doc) CHECK(dst_->SetDocString(doc));
        CHECK(dst_->SetHelpContext(context));
        SysFreeString(name);
        SysFreeString(doc);
    }

    // The member half of a type: the vtable part of a dual interface.
    ITypeInfo* Source(UINT i) {
        ITypeInfo* info = nullptr;
        CHECK(src_->GetTypeInfo(i, &info));
        TYPEATTR* attr = nullptr;
        CHECK(info->GetTypeAttr(&attr));
        bool dual = attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL);
        info->ReleaseTypeAttr(attr);
        if (!dual) return info;
        HREFTYPE ref = 0;
        ITypeInfo* vtable = nullptr;
        CHECK(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref));
        CHECK(info->GetRefTypeInfo(ref, &vtable));
        info->Release();
        return vtable;
    }

    void Create(UINT i) {
        ITypeInfo* info = Source(i);
        TYPEATTR* attr = nullptr;
        CHECK(info->GetTypeAttr(&attr));
        std::wstring name = Name(info, MEMBERID_NIL);
        ICreateTypeInfo* created = nullptr;
        CHECK(dst_->CreateTypeInfo(const_cast<LPOLESTR>(name.c_str()), attr->typekind, &created));
        ICreateTypeInfo2* created2 = nullptr;
        CHECK(created->QueryInterface(IID_ICreateTypeInfo2, reinterpret_cast<void**>(&created2)));
        created->Release();
        created_[i] = created2;
        byGuid_[GuidKey(attr->guid)] = i;
        info->ReleaseTypeAttr(attr);
        info->Release();
    }

    static std::wstring GuidKey(REFGUID g) {
        wchar_t buf[40];
        StringFromGUID2(g, buf, 40);
        return buf;
    }

    // A reference in the rebuilt library to what `href` names in `from`.
    HREFTYPE MapRef(ITypeInfo* from, HREFTYPE href, ICreateTypeInfo2* to) {
        ITypeInfo* target = nullptr;
        CHECK(from->GetRefTypeInfo(href, &target));
        ITypeLib* lib = nullptr;
        UINT index = 0;
        CHECK(target->GetContainingTypeLib(&lib, &index));
        TLIBATTR* la = nullptr;
        CHECK(lib->GetLibAttr(&la));
        bool own = IsEqualGUID(la->guid, libid_);
        lib->ReleaseTLibAttr(la);
        lib->Release();
        ITypeInfo* resolved = target;
        if (own) {
            TYPEATTR* ta = nullptr;
            CHECK(target->GetTypeAttr(&ta));
            UINT mine = byGuid_.at(GuidKey(ta->guid));
            target->ReleaseTypeAttr(ta);
            CHECK(created_[mine]->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(&resolved)));
            target->Release();
        }
        HREFTYPE out = 0;
        CHECK(to->AddRefTypeInfo(resolved, &out));
        resolved->Release();
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

    void CopyFunctions(ITypeInfo* info, const std::wstring& typeName, ICreateTypeInfo2* to, WORD count) {
        for (UINT f = 0; f < count; ++f) {
            FUNCDESC* fd = nullptr;
            CHECK(info->GetFuncDesc(f, &fd));
            BSTR names[64] = {};
            UINT got = 0;
            CHECK(info->GetNames(fd->memid, names, 64, &got));
            std::wstring member = names[0] ? names[0] : L"";

            FUNCDESC copy = *fd;
            std::vector<ELEMDESC> params(fd->lprgelemdescParam, fd->lprgelemdescParam + fd->cParams);
            std::vector<std::unique_ptr<PARAMDESCEX>> defaults;
            for (SHORT p = 0; p < fd->cParams; ++p) {
                params[p].tdesc = MapDesc(fd->lprgelemdescParam[p].tdesc, info, to);
                std::wstring pname = (static_cast<UINT>(p + 1) < got && names[p + 1]) ? names[p + 1] : L"";
                const DefaultFix* fix = FixFor(typeName, member, pname);
                if ((params[p].paramdesc.wParamFlags & PARAMFLAG_FHASDEFAULT) && fix) {
                    auto ex = std::make_unique<PARAMDESCEX>();
                    ex->cBytes = sizeof(PARAMDESCEX);
                    VariantInit(&ex->varDefaultValue);
                    V_VT(&ex->varDefaultValue) = fix->vt;
                    if (fix->vt == VT_BSTR) V_BSTR(&ex->varDefaultValue) = SysAllocString(L"");
                    else V_BOOL(&ex->varDefaultValue) = VARIANT_TRUE;
                    params[p].paramdesc.pparamdescex = ex.get();
                    defaults.push_back(std::move(ex));
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
            BSTR doc = nullptr;
            DWORD context = 0;
            info->GetDocumentation(fd->memid, nullptr, &doc, &context, nullptr);
            if (doc) CHECK(to->SetFuncDocString(f, const_cast<LPOLESTR>(Unescape(doc).c_str())));
            if (context) CHECK(to->SetFuncHelpContext(f, context));
            SysFreeString(doc);
            for (UINT k = 0; k < got; ++k) SysFreeString(names[k]);
            for (auto& ex : defaults) VariantClear(&ex->varDefaultValue);
            info->ReleaseFuncDesc(fd);
        }
    }

    void CopyEnumMembers(ITypeInfo* info, ICreateTypeInfo2* to, WORD count) {
        for (UINT v = 0; v < count; ++v) {
            VARDESC* vd = nullptr;
            CHECK(info->GetVarDesc(v, &vd));
            std::wstring name = Name(info, vd->memid);
            CHECK(to->AddVarDesc(v, vd));
            CHECK(to->SetVarName(v, const_cast<LPOLESTR>(name.c_str())));
            // Each member's help string is its own name.
            CHECK(to->SetVarDocString(v, const_cast<LPOLESTR>(name.c_str())));
            info->ReleaseVarDesc(vd);
        }
    }

    void Fill(UINT i) {
        ITypeInfo* info = Source(i);
        ICreateTypeInfo2* to = created_[i];
        TYPEATTR* attr = nullptr;
        CHECK(info->GetTypeAttr(&attr));
        std::wstring name = Name(info, MEMBERID_NIL);
        CHECK(to->SetGuid(attr->guid));
        CHECK(to->SetVersion(attr->wMajorVerNum, attr->wMinorVerNum));
        BSTR doc = nullptr;
        DWORD context = 0;
        info->GetDocumentation(MEMBERID_NIL, nullptr, &doc, &context, nullptr);
        if (doc) CHECK(to->SetDocString(const_cast<LPOLESTR>(Unescape(doc).c_str())));
        if (context) CHECK(to->SetHelpContext(context));
        SysFreeString(doc);

        WORD flags = attr->wTypeFlags;
        switch (attr->typekind) {
        case TKIND_ALIAS: {
            TYPEDESC alias = MapDesc(attr->tdescAlias, info, to);
            CHECK(to->SetTypeDescAlias(&alias));
            break;
        }
        case TKIND_ENUM:
            CopyEnumMembers(info, to, attr->cVars);
            break;
        case TKIND_INTERFACE:
        case TKIND_DISPATCH:
        case TKIND_COCLASS:
            for (UINT k = 0; k < attr->cImplTypes; ++k) {
                HREFTYPE ref = 0;
                CHECK(info->GetRefTypeOfImplType(k, &ref));
                CHECK(to->AddImplType(k, MapRef(info, ref, to)));
                INT implFlags = 0;
                CHECK(info->GetImplTypeFlags(k, &implFlags));
                if (implFlags) CHECK(to->SetImplTypeFlags(k, implFlags));
            }
            if (attr->typekind == TKIND_COCLASS) flags |= TYPEFLAG_FPREDECLID;
            else CopyFunctions(info, name, to, attr->cFuncs);
            break;
        default:
            std::fprintf(stderr, "tlbfinish: unexpected type kind %d\n", attr->typekind);
            std::exit(1);
        }
        if (attr->typekind != TKIND_ENUM && attr->typekind != TKIND_ALIAS) CHECK(to->SetAlignment(attr->cbAlignment));
        CHECK(to->SetTypeFlags(flags));
        info->ReleaseTypeAttr(attr);
        info->Release();
    }

    ITypeLib* src_;
    ICreateTypeLib2* dst_;
    GUID libid_;
    std::vector<ICreateTypeInfo2*> created_;
    std::map<std::wstring, UINT> byGuid_;
    std::vector<std::unique_ptr<TYPEDESC>> keep_;
};

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
    for (int k = 3; k < argc; ++k) {
        ITypeLib* import = nullptr;
        CHECK(LoadTypeLibEx(argv[k], REGKIND_REGISTER, &import));
        import->Release();
    }
    ITypeLib* src = nullptr;
    CHECK(LoadTypeLibEx(argv[1], REGKIND_NONE, &src));
    DeleteFileW(argv[2]);
    ICreateTypeLib2* dst = nullptr;
    // The library describes the build it ships in: Win64 for the 64-bit DLL.
    CHECK(CreateTypeLib2(syskind, argv[2], &dst));
    Finisher(src, dst).Run();
    dst->Release();
    src->Release();
    CoUninitialize();
    return 0;
}
