// The embedded type library against the published interface of the library:
// identities, flags, every member's DISPID, slot, kind and parameters, the
// defaults, help strings, enumerations and the aliases of older IIDs.
#include "com_test_support.h"
#include "frame/handles.h"
#include "frame/typeinfo.h"
#include "vemofunction/class_table.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// A member's parameters, in order, one word each: the type (a VARTYPE's name,
// or the name of the type a VT_USERDEFINED refers to), a '*' for each pointer
// level, then after ':' its flags: i in, o out, p optional, d has a default,
// r retval.
struct MemberRow {
    const wchar_t* name;
    INVOKEKIND kind;
    MEMBERID id;
    const wchar_t* params;
};

struct InterfaceRow {
    const wchar_t* name;
    const wchar_t* iid;
    WORD major, minor;
    std::vector<MemberRow> members;  // in slot order
};

const InterfaceRow kInterfaces[] = {
    {L"_IniFile", L"{CC289CE1-275D-43BA-A3B7-23E2C0D703D2}", 1, 2,
     {{L"Keys", INVOKE_PROPERTYGET, 0x68030000, L"_Collection**:or"},
      {L"GetAllSet", INVOKE_FUNC, 0x60030001, L"BSTR:i _Collection**:or"},
      {L"GetSet", INVOKE_FUNC, 0x60030002, L"BSTR:i BSTR*:io VARIANT*:iopd VARIANT*:or"},
      {L"SaveSet", INVOKE_FUNC, 0x60030003, L"BSTR*:io BSTR*:io VARIANT*:io BOOL*:or"},
      {L"IniFileName", INVOKE_PROPERTYPUT, 0, L"BSTR:i"},
      {L"IniFileName", INVOKE_PROPERTYGET, 0, L"BSTR*:or"},
      {L"ExecuteSQL", INVOKE_FUNC, 0x60030007, L"BSTR:i _Recordset**:or"},
      {L"GetAllSetToDict", INVOKE_FUNC, 0x60030008, L"BSTR:i IPyxDictionary**:or"}}},
    {L"_VemoFuns", L"{A8CB2546-E499-11D5-9FA9-00E04C54B3B6}", 1, 0,
     {{L"ExecCmd", INVOKE_FUNC, 0x60030003, L"BSTR:i"},
      {L"GetLocalComputerName", INVOKE_FUNC, 0x60030004, L"BSTR*:or"},
      {L"AppSystemPath", INVOKE_PROPERTYGET, 0x68030002, L"BSTR*:or"},
      {L"WinPath", INVOKE_PROPERTYGET, 0x68030001, L"BSTR*:or"},
      {L"WinSysPath", INVOKE_PROPERTYGET, 0x68030000, L"BSTR*:or"},
      {L"AddStrNum", INVOKE_FUNC, 0x60030005, L"BSTR*:io BSTR*:or"},
      {L"SetWindowOnTop", INVOKE_FUNC, 0x60030006, L"IDispatch:i BOOL:i I4*:iopd I4*:iopd I4*:iopd I4*:iopd"},
      {L"CNulls", INVOKE_FUNC, 0x60030007, L"VARIANT:i VARIANT:ipd VARIANT*:or"},
      {L"MergeRowData", INVOKE_FUNC, 0x60030008, L"IDispatch*:io I4:i BSTR:i BSTR*:or"},
      {L"MergeRowDataV5", INVOKE_FUNC, 0x60030009, L"IDispatch*:io I4:i BSTR:i BSTR*:or"},
      {L"MakeComString", INVOKE_FUNC, 0x6003000A, L"BSTR:i BSTR:i BSTR*:or"},
      {L"GetComString", INVOKE_FUNC, 0x6003000B, L"BSTR:i BSTR*:or"},
      {L"GeneratePwd", INVOKE_FUNC, 0x6003000C, L"BSTR:i BSTR:i I2:ipd VARIANT*:or"},
      {L"GetICMaxNum", INVOKE_FUNC, 0x6003000D, L"BSTR:i _Connection*:i I4*:or"},
      {L"GetFOperate", INVOKE_FUNC, 0x6003000E, L"BSTR:i _Connection*:i I4*:or"},
      {L"GetFOperateNew", INVOKE_FUNC, 0x6003000F, L"BSTR:i _Connection*:i BSTR*:io I4*:or"},
      {L"GetStockNumberByID", INVOKE_FUNC, 0x60030010, L"BSTR:i BSTR:i BSTR:i BSTR:i _Connection*:i R8*:or"},
      {L"IsNull", INVOKE_FUNC, 0x60030011, L"VARIANT:i BOOL*:or"},
      {L"GetICBillNo", INVOKE_FUNC, 0x60030012, L"Enu_BillType:i _Connection*:i BSTR*:or"},
      {L"CenterForm", INVOKE_FUNC, 0x60030013, L"IDispatch*:io"},
      {L"SetToolBarLable", INVOKE_FUNC, 0x60030014, L"IDispatch*:io BOOL:i"},
      {L"GetFullPathName", INVOKE_FUNC, 0x60030015, L"BSTR:i BSTR*:or"},
      {L"OpenAccessDSN", INVOKE_FUNC, 0x60030017, L"BSTR:i BOOL:ipd VARIANT*:or"},
      {L"PeriodFromDate", INVOKE_FUNC, 0x60030018, L"DATE:i _Connection*:i I2*:or"},
      {L"GetString", INVOKE_FUNC, 0x60030019, L"BSTR:i I2:ipd BSTR:ipd BSTR*:or"},
      {L"ISIncludeChinese", INVOKE_FUNC, 0x6003001A, L"BSTR:i BOOL*:or"}}},
    {L"_Btns", L"{A8CB2544-E499-11D5-9FA9-00E04C54B3B6}", 1, 0,
     {{L"Add", INVOKE_FUNC, 0x60030001, L"BSTR*:io BSTR*:io BSTR*:io I4*:io I4*:io I4*:io I4*:io _Btn**:or"},
      {L"Item", INVOKE_PROPERTYGET, 0, L"VARIANT*:io _Btn**:or"},
      {L"Count", INVOKE_PROPERTYGET, 0x68030000, L"I4*:or"},
      {L"Remove", INVOKE_FUNC, 0x60030002, L"VARIANT*:io"},
      {L"NewEnum", INVOKE_PROPERTYGET, DISPID_NEWENUM, L"IUnknown*:or"}}},
    {L"_Btn", L"{A8CB2542-E499-11D5-9FA9-00E04C54B3B6}", 1, 0,
     {{L"Top", INVOKE_PROPERTYGET, 0x40030000, L"I4*:or"},
      {L"Top", INVOKE_PROPERTYPUT, 0x40030000, L"I4:i"},
      {L"Left", INVOKE_PROPERTYGET, 0x40030001, L"I4*:or"},
      {L"Left", INVOKE_PROPERTYPUT, 0x40030001, L"I4:i"},
      {L"ISBtn", INVOKE_PROPERTYGET, 0x40030002, L"I4*:or"},
      {L"ISBtn", INVOKE_PROPERTYPUT, 0x40030002, L"I4:i"},
      {L"ToolTip", INVOKE_PROPERTYGET, 0x40030003, L"BSTR*:or"},
      {L"ToolTip", INVOKE_PROPERTYPUT, 0x40030003, L"BSTR:i"},
      {L"FPicture", INVOKE_PROPERTYGET, 0x40030004, L"BSTR*:or"},
      {L"FPicture", INVOKE_PROPERTYPUT, 0x40030004, L"BSTR:i"},
      {L"SPicture", INVOKE_PROPERTYGET, 0x40030005, L"BSTR*:or"},
      {L"SPicture", INVOKE_PROPERTYPUT, 0x40030005, L"BSTR:i"},
      {L"Opt", INVOKE_PROPERTYGET, 0x40030006, L"I4*:or"},
      {L"Opt", INVOKE_PROPERTYPUT, 0x40030006, L"I4:i"},
      {L"ID", INVOKE_PROPERTYGET, 0x40030007, L"I4*:or"},
      {L"ID", INVOKE_PROPERTYPUT, 0x40030007, L"I4:i"},
      {L"BLoad", INVOKE_PROPERTYGET, 0x40030008, L"BOOL*:or"},
      {L"BLoad", INVOKE_PROPERTYPUT, 0x40030008, L"BOOL:i"}}},
};

std::wstring Doc(ITypeInfo* info, MEMBERID id, std::wstring* help = nullptr) {
    vemo::Bstr name, doc;
    info->GetDocumentation(id, name.Out(), doc.Out(), nullptr, nullptr);
    if (help) *help = doc.Get() ? doc.Get() : L"";
    return name.Get() ? name.Get() : L"";
}

// A parameter in the notation of MemberRow::params. A user-defined type is
// named by what GetRefTypeInfo resolves its reference to ("?" if nothing).
std::wstring Describe(ITypeInfo* info, const ELEMDESC& e) {
    std::wstring stars;
    const TYPEDESC* t = &e.tdesc;
    for (; t->vt == VT_PTR; t = t->lptdesc) stars += L'*';
    std::wstring text;
    switch (t->vt) {
    case VT_I2: text = L"I2"; break;
    case VT_I4: text = L"I4"; break;
    case VT_R8: text = L"R8"; break;
    case VT_DATE: text = L"DATE"; break;
    case VT_BSTR: text = L"BSTR"; break;
    case VT_BOOL: text = L"BOOL"; break;
    case VT_VARIANT: text = L"VARIANT"; break;
    case VT_DISPATCH: text = L"IDispatch"; break;
    case VT_UNKNOWN: text = L"IUnknown"; break;
    case VT_USERDEFINED: {
        ComPtr<ITypeInfo> target;
        text = SUCCEEDED(info->GetRefTypeInfo(t->hreftype, target.Out())) ? Doc(target.Get(), MEMBERID_NIL) : L"?";
        break;
    }
    default: text = L"vt" + std::to_wstring(t->vt);
    }
    text += stars + L":";
    const USHORT f = e.paramdesc.wParamFlags;
    const std::pair<USHORT, wchar_t> letters[] = {{PARAMFLAG_FIN, L'i'}, {PARAMFLAG_FOUT, L'o'},
        {PARAMFLAG_FOPT, L'p'}, {PARAMFLAG_FHASDEFAULT, L'd'}, {PARAMFLAG_FRETVAL, L'r'}};
    for (const auto& l : letters)
        if (f & l.first) text += l.second;
    if (f & ~(PARAMFLAG_FIN | PARAMFLAG_FOUT | PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT | PARAMFLAG_FRETVAL))
        text += L"+other";
    return text;
}

std::wstring DescribeParams(ITypeInfo* info, const FUNCDESC* fd) {
    std::wstring text;
    for (SHORT p = 0; p < fd->cParams; ++p) text += (p ? L" " : L"") + Describe(info, fd->lprgelemdescParam[p]);
    return text;
}

class TypeLibTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(LibraryPath().c_str(), REGKIND_NONE, lib_.Out()));
    }
    ComPtr<ITypeInfo> ByGuid(const wchar_t* text) {
        ComPtr<ITypeInfo> info;
        EXPECT_HRESULT_SUCCEEDED(lib_->GetTypeInfoOfGuid(Guid(text), info.Out())) << text;
        return info;
    }
    ComPtr<ITypeLib> lib_;
};

TEST_F(TypeLibTest, LibraryIdentity) {
    vemo::LibAttr attr;
    ASSERT_HRESULT_SUCCEEDED(lib_->GetLibAttr(attr.Out(lib_.Get())));
    EXPECT_TRUE(IsEqualGUID(attr->guid, Guid(L"{A8CB253F-E499-11D5-9FA9-00E04C54B3B6}")));
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 2);
    EXPECT_EQ(attr->lcid, 0u);
    EXPECT_EQ(attr->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    vemo::Bstr name, doc;
    ASSERT_HRESULT_SUCCEEDED(lib_->GetDocumentation(-1, name.Out(), doc.Out(), nullptr, nullptr));
    EXPECT_STREQ(name.Get(), L"VemoFunction");
    EXPECT_STREQ(doc.Get(), L"DAZ Functions V2.0");
}

TEST_F(TypeLibTest, CoclassesAreCreatableAppObjectsWithPredeclaredIds) {
    const std::pair<const wchar_t*, const wchar_t*> classes[] = {
        {L"{A8CB2541-E499-11D5-9FA9-00E04C54B3B6}", L"{CC289CE1-275D-43BA-A3B7-23E2C0D703D2}"},
        {L"{A8CB2547-E499-11D5-9FA9-00E04C54B3B6}", L"{A8CB2546-E499-11D5-9FA9-00E04C54B3B6}"},
        {L"{A8CB2545-E499-11D5-9FA9-00E04C54B3B6}", L"{A8CB2544-E499-11D5-9FA9-00E04C54B3B6}"},
        {L"{A8CB2543-E499-11D5-9FA9-00E04C54B3B6}", L"{A8CB2542-E499-11D5-9FA9-00E04C54B3B6}"},
    };
    for (const auto& c : classes) {
        ComPtr<ITypeInfo> info = ByGuid(c.first);
        ASSERT_TRUE(info);
        vemo::TypeAttr attr;
        ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(attr.Out(info.Get())));
        EXPECT_EQ(attr->typekind, TKIND_COCLASS);
        EXPECT_EQ(attr->wTypeFlags & (TYPEFLAG_FAPPOBJECT | TYPEFLAG_FCANCREATE | TYPEFLAG_FPREDECLID),
                  TYPEFLAG_FAPPOBJECT | TYPEFLAG_FCANCREATE | TYPEFLAG_FPREDECLID)
            << c.first;
        EXPECT_EQ(attr->cImplTypes, 1);
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> iface;
        ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeOfImplType(0, &ref));
        ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeInfo(ref, iface.Out()));
        vemo::TypeAttr ia;
        ASSERT_HRESULT_SUCCEEDED(iface->GetTypeAttr(ia.Out(iface.Get())));
        EXPECT_TRUE(IsEqualGUID(ia->guid, Guid(c.second)));
        INT flags = 0;
        ASSERT_HRESULT_SUCCEEDED(info->GetImplTypeFlags(0, &flags));
        EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
    }
}

TEST_F(TypeLibTest, InterfacesAreHiddenDualMembersInSlotOrder) {
    for (const InterfaceRow& row : kInterfaces) {
        ComPtr<ITypeInfo> info = ByGuid(row.iid);
        ASSERT_TRUE(info);
        vemo::TypeAttr attr;
        ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(attr.Out(info.Get())));
        const WORD want = TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;
        EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
        EXPECT_EQ(attr->wTypeFlags & want, want) << Doc(info.Get(), MEMBERID_NIL);
        EXPECT_EQ(attr->wMajorVerNum, row.major);
        EXPECT_EQ(attr->wMinorVerNum, row.minor);
        EXPECT_EQ(Doc(info.Get(), MEMBERID_NIL), row.name);

        // The vtable half: members after the seven IUnknown/IDispatch slots.
        ComPtr<ITypeInfo> vt;
        ASSERT_HRESULT_SUCCEEDED(vemo::VtableTypeInfo(info.Get(), vt.Out()));
        ASSERT_HRESULT_SUCCEEDED(vt->GetTypeAttr(attr.Out(vt.Get())));
        EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION) << row.name;
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL) << row.name;
        EXPECT_EQ(attr->cFuncs, row.members.size()) << row.name;
        for (size_t i = 0; i < row.members.size(); ++i) {
            vemo::FuncDesc fd;
            ASSERT_HRESULT_SUCCEEDED(vt->GetFuncDesc(static_cast<UINT>(i), fd.Out(vt.Get())));
            const MemberRow& m = row.members[i];
            EXPECT_EQ(Doc(vt.Get(), fd->memid), m.name) << row.name << " slot " << i + 1;
            EXPECT_EQ(fd->memid, m.id) << m.name;
            EXPECT_EQ(fd->invkind, m.kind) << m.name;
            EXPECT_EQ(DescribeParams(vt.Get(), fd.Get()), m.params) << row.name << "." << m.name;
            EXPECT_EQ(fd->oVft, static_cast<SHORT>((7 + i) * sizeof(void*))) << m.name;
            EXPECT_EQ(fd->callconv, CC_STDCALL);
            if (m.id == DISPID_NEWENUM) {
                EXPECT_TRUE(fd->wFuncFlags & FUNCFLAG_FHIDDEN);
            }
        }
    }
}

// Reads parameter `p` of member `name` in interface `iid`.
struct Param {
    VARTYPE vt;      // of the type, VT_PTR resolved one level into byRef
    bool byRef;
    USHORT flags;
    vemo::Variant def;
};

Param ParamOf(ITypeLib* lib, const wchar_t* iid, const wchar_t* name, int p) {
    ComPtr<ITypeInfo> info;
    lib->GetTypeInfoOfGuid(Guid(iid), info.Out());
    ComPtr<ITypeInfo> vt;
    vemo::VtableTypeInfo(info.Get(), vt.Out());
    vemo::TypeAttr attr;
    vt->GetTypeAttr(attr.Out(vt.Get()));
    Param out = {};
    for (UINT f = 0; f < attr->cFuncs; ++f) {
        vemo::FuncDesc fd;
        vt->GetFuncDesc(f, fd.Out(vt.Get()));
        if (Doc(vt.Get(), fd->memid) == name && fd->invkind != INVOKE_PROPERTYPUT) {
            const ELEMDESC& e = fd->lprgelemdescParam[p];
            out.byRef = e.tdesc.vt == VT_PTR;
            out.vt = out.byRef ? e.tdesc.lptdesc->vt : e.tdesc.vt;
            out.flags = e.paramdesc.wParamFlags;
            if ((out.flags & PARAMFLAG_FHASDEFAULT) && e.paramdesc.pparamdescex)
                VariantCopy(out.def.Get(), &e.paramdesc.pparamdescex->varDefaultValue);
        }
    }
    return out;
}

TEST_F(TypeLibTest, OptionalParametersCarryTheirDefaults) {
    const wchar_t* vemo = L"{A8CB2546-E499-11D5-9FA9-00E04C54B3B6}";
    struct Row { const wchar_t* member; int param; VARTYPE vt; bool byRef; LONG number; const wchar_t* text; };
    const Row rows[] = {
        {L"SetWindowOnTop", 2, VT_I4, true, 150, nullptr},
        {L"SetWindowOnTop", 3, VT_I4, true, 1500, nullptr},
        {L"SetWindowOnTop", 4, VT_I4, true, 3000, nullptr},
        {L"SetWindowOnTop", 5, VT_I4, true, 6000, nullptr},
        {L"GeneratePwd", 2, VT_I2, false, 24817, nullptr},
        {L"OpenAccessDSN", 1, VT_BOOL, false, -1, nullptr},
        {L"GetString", 1, VT_I2, false, 1, nullptr},
        {L"GetString", 2, VT_BSTR, false, 0, L"|"},
        {L"CNulls", 1, VT_VARIANT, false, 0, L""},
    };
    for (const Row& r : rows) {
        Param p = ParamOf(lib_.Get(), vemo, r.member, r.param);
        EXPECT_EQ(p.vt, r.vt) << r.member << " " << r.param;
        EXPECT_EQ(p.byRef, r.byRef) << r.member << " " << r.param;
        EXPECT_EQ(p.flags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT), PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)
            << r.member << " " << r.param;
        if (r.text) {
            ASSERT_EQ(p.def.Type(), VT_BSTR) << r.member;
            EXPECT_STREQ(V_BSTR(p.def.Get()), r.text) << r.member;
        } else {
            // The default has the parameter's own type (VT_BOOL true is -1).
            EXPECT_EQ(p.def.Type(), r.vt) << r.member << " " << r.param;
            if (r.vt == VT_BOOL) {
                EXPECT_EQ(V_BOOL(p.def.Get()), VARIANT_TRUE) << r.member;
            }
            vemo::Variant n;
            ASSERT_HRESULT_SUCCEEDED(VariantChangeType(n.Get(), p.def.Get(), 0, VT_I4)) << r.member;
            EXPECT_EQ(V_I4(n.Get()), r.number) << r.member << " " << r.param;
        }
    }
    Param d = ParamOf(lib_.Get(), L"{CC289CE1-275D-43BA-A3B7-23E2C0D703D2}", L"GetSet", 2);
    EXPECT_TRUE(d.byRef);
    EXPECT_EQ(d.vt, VT_VARIANT);
    ASSERT_EQ(d.def.Type(), VT_BSTR);
    EXPECT_EQ(SysStringLen(V_BSTR(d.def.Get())), 0u);
    Param key = ParamOf(lib_.Get(), L"{CC289CE1-275D-43BA-A3B7-23E2C0D703D2}", L"GetSet", 1);
    EXPECT_TRUE(key.byRef);
    EXPECT_EQ(key.flags & (PARAMFLAG_FIN | PARAMFLAG_FOUT), PARAMFLAG_FIN | PARAMFLAG_FOUT);
}

TEST_F(TypeLibTest, GetSetHelpStringIsTheChineseContract) {
    ComPtr<ITypeInfo> info = ByGuid(L"{CC289CE1-275D-43BA-A3B7-23E2C0D703D2}");
    ASSERT_TRUE(info);
    std::wstring help;
    Doc(info.Get(), 0x60030002, &help);
    if (GetACP() == 936) {
        EXPECT_EQ(help, L"\u5982\u679c Defaultsetting \u662f\u6570\u503c\u578b GetSet \u8fd4\u56de\u6570\u503c\u578b\r\n"
                        L"\u5982\u679c Defaultsetting \u662f\u5b57\u7b26\u578b GetSet \u8fd4\u56de\u5b57\u7b26/\u6216Boolen\u7c7b\u578b\r\n");
    } else {
        // Outside the Chinese code page the GBK bytes cannot read back as
        // Chinese, but the two CR LF lines and the ASCII words stay.
        EXPECT_NE(help.find(L" Defaultsetting "), std::wstring::npos);
        EXPECT_EQ(help.substr(help.size() - 2), L"\r\n");
    }
}

TEST_F(TypeLibTest, EnumerationsWithMemberHelpStrings) {
    struct E { const wchar_t* guid; std::vector<std::pair<const wchar_t*, LONG>> members; };
    const E enums[] = {
        {L"{A8CB2548-E499-11D5-9FA9-00E04C54B3B6}",
         {{L"blackwhite", 0}, {L"System", 1}, {L"blue", 2}, {L"Green", 3}, {L"Yellow", 4}}},
        {L"{A8CB2549-E499-11D5-9FA9-00E04C54B3B6}",
         {{L"BillInstock", 0}, {L"BillOutStock", 1}, {L"BillAdjust", 2}, {L"BillTransfer", 3}, {L"BillCheck", 4},
          {L"BillAgent", 5}, {L"BillPur", 8}, {L"BillPurBack", 9}, {L"BillWout", 10}, {L"BillWBack", 11}}},
    };
    for (const E& e : enums) {
        ComPtr<ITypeInfo> info = ByGuid(e.guid);
        ASSERT_TRUE(info);
        vemo::TypeAttr attr;
        ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(attr.Out(info.Get())));
        EXPECT_EQ(attr->typekind, TKIND_ENUM);
        EXPECT_EQ(attr->cVars, e.members.size());
        for (size_t i = 0; i < e.members.size(); ++i) {
            vemo::VarDesc vd;
            ASSERT_HRESULT_SUCCEEDED(info->GetVarDesc(static_cast<UINT>(i), vd.Out(info.Get())));
            std::wstring help;
            EXPECT_EQ(Doc(info.Get(), vd->memid, &help), e.members[i].first);
            EXPECT_EQ(help, e.members[i].first);
            vemo::Variant n;
            ASSERT_HRESULT_SUCCEEDED(VariantChangeType(n.Get(), vd->lpvarValue, 0, VT_I4));
            EXPECT_EQ(V_I4(n.Get()), e.members[i].second) << e.members[i].first;
        }
    }
}

TEST_F(TypeLibTest, OlderIniFileIidsAreHiddenAliases) {
    const std::pair<const wchar_t*, const wchar_t*> aliases[] = {
        {L"{A8CB2540-E499-11D5-9FA9-00E04C54B3B6}", L"IniFile___v0"},
        {L"{B7AD0309-C0CB-4506-A74F-93D37EEFD9C7}", L"IniFile___v1"},
    };
    for (const auto& a : aliases) {
        ComPtr<ITypeInfo> info = ByGuid(a.first);
        ASSERT_TRUE(info);
        vemo::TypeAttr attr;
        ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(attr.Out(info.Get())));
        EXPECT_EQ(attr->typekind, TKIND_ALIAS);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FHIDDEN);
        ASSERT_EQ(attr->tdescAlias.vt, VT_USERDEFINED);
        ComPtr<ITypeInfo> target;
        ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeInfo(attr->tdescAlias.hreftype, target.Out()));
        EXPECT_EQ(Doc(target.Get(), MEMBERID_NIL), L"_IniFile");
        EXPECT_EQ(Doc(info.Get(), MEMBERID_NIL), a.second);
    }
}

// A real machine registers the collection's library under LCID 9 only (the
// test prefix registers its stand-in so), and a reference into it resolves
// through the LCID that the referring library records: the members returning
// a _Collection resolve into that library as registered.
TEST_F(TypeLibTest, CollectionMembersResolveIntoTheLibraryRegisteredUnderLcid9) {
    const wchar_t* collectionLib = L"{000204EF-0000-0000-C000-000000000046}";
    for (const auto& key : {std::make_pair(L"9", true), std::make_pair(L"0", false)}) {
        vemo::RegKey k;
        std::wstring path = std::wstring(L"TypeLib\\") + collectionLib + L"\\6.0\\" + key.first;
        LONG rc = RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, k.Out());
        EXPECT_EQ(rc == ERROR_SUCCESS, key.second) << "registration under LCID " << key.first;
    }
    ComPtr<ITypeInfo> info = ByGuid(L"{CC289CE1-275D-43BA-A3B7-23E2C0D703D2}");
    ASSERT_TRUE(info);
    ComPtr<ITypeInfo> vt;
    ASSERT_HRESULT_SUCCEEDED(vemo::VtableTypeInfo(info.Get(), vt.Out()));
    for (UINT slot : {0u, 1u}) {  // Keys, GetAllSet: [out, retval] _Collection**
        vemo::FuncDesc fd;
        ASSERT_HRESULT_SUCCEEDED(vt->GetFuncDesc(slot, fd.Out(vt.Get())));
        const std::wstring member = Doc(vt.Get(), fd->memid);
        const TYPEDESC& t = fd->lprgelemdescParam[fd->cParams - 1].tdesc;
        ASSERT_TRUE(t.vt == VT_PTR && t.lptdesc->vt == VT_PTR && t.lptdesc->lptdesc->vt == VT_USERDEFINED) << member;
        ComPtr<ITypeInfo> target;
        ASSERT_HRESULT_SUCCEEDED(vt->GetRefTypeInfo(t.lptdesc->lptdesc->hreftype, target.Out())) << member;
        vemo::TypeAttr ta;
        ASSERT_HRESULT_SUCCEEDED(target->GetTypeAttr(ta.Out(target.Get())));
        EXPECT_TRUE(IsEqualGUID(ta->guid, Guid(L"{A4C46780-499F-101B-BB78-00AA00383CBB}"))) << member;
        ComPtr<ITypeLib> lib;
        UINT index = 0;
        ASSERT_HRESULT_SUCCEEDED(target->GetContainingTypeLib(lib.Out(), &index));
        vemo::LibAttr la;
        ASSERT_HRESULT_SUCCEEDED(lib->GetLibAttr(la.Out(lib.Get())));
        EXPECT_TRUE(IsEqualGUID(la->guid, Guid(collectionLib))) << member;
        EXPECT_EQ(la->wMajorVerNum * 100 + la->wMinorVerNum, 600) << member;
        EXPECT_EQ(la->lcid, 9u) << member;
    }
}

TEST_F(TypeLibTest, OutsideTypesAreReferencedNotEmbedded) {
    // Only the library's own twelve types live in it.
    EXPECT_EQ(lib_->GetTypeInfoCount(), 12u);
    Param cn = ParamOf(lib_.Get(), L"{A8CB2546-E499-11D5-9FA9-00E04C54B3B6}", L"GetICMaxNum", 1);
    EXPECT_TRUE(cn.byRef);
    EXPECT_EQ(cn.vt, VT_USERDEFINED);
}

// The registration checker's list of the libraries this one refers to is the
// set that the members' parameter types resolve into (stdole aside, which
// every system has).
TEST_F(TypeLibTest, TheLibrariesItRefersToAreTheCheckersList) {
    auto text = [](const GUID& g) {
        wchar_t buffer[40] = {};
        StringFromGUID2(g, buffer, 40);
        return std::wstring(buffer);
    };
    std::set<std::wstring> referred;
    for (UINT i = 0; i < lib_->GetTypeInfoCount(); ++i) {
        ComPtr<ITypeInfo> info, vt;
        ASSERT_HRESULT_SUCCEEDED(lib_->GetTypeInfo(i, info.Out()));
        if (FAILED(vemo::VtableTypeInfo(info.Get(), vt.Out()))) continue;  // coclasses, enumerations
        vemo::TypeAttr attr;
        ASSERT_HRESULT_SUCCEEDED(vt->GetTypeAttr(attr.Out(vt.Get())));
        for (UINT f = 0; f < attr->cFuncs; ++f) {
            vemo::FuncDesc fd;
            ASSERT_HRESULT_SUCCEEDED(vt->GetFuncDesc(f, fd.Out(vt.Get())));
            for (SHORT p = -1; p < fd->cParams; ++p) {
                const TYPEDESC* t = p < 0 ? &fd->elemdescFunc.tdesc : &fd->lprgelemdescParam[p].tdesc;
                while (t->vt == VT_PTR || t->vt == VT_SAFEARRAY) t = t->lptdesc;
                if (t->vt != VT_USERDEFINED) continue;
                ComPtr<ITypeInfo> target;
                ComPtr<ITypeLib> home;
                UINT index = 0;
                vemo::LibAttr la;
                ASSERT_HRESULT_SUCCEEDED(vt->GetRefTypeInfo(t->hreftype, target.Out())) << Doc(vt.Get(), fd->memid);
                ASSERT_HRESULT_SUCCEEDED(target->GetContainingTypeLib(home.Out(), &index));
                ASSERT_HRESULT_SUCCEEDED(home->GetLibAttr(la.Out(home.Get())));
                referred.insert(text(la->guid));
            }
        }
    }
    referred.erase(vemo::table::kLibId);
    referred.erase(L"{00020430-0000-0000-C000-000000000046}");  // stdole
    std::set<std::wstring> listed;
    for (const auto& k : vemo::table::kImportedLibraries) listed.insert(k.libId);
    EXPECT_EQ(referred, listed);
}

}  // namespace
