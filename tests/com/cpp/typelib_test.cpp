// The embedded type library against the published interface of the library:
// identities, flags, every member's DISPID, slot, kind and parameters, the
// defaults, help strings, enumerations and the aliases of older IIDs.
#include "com_test_support.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

struct MemberRow {
    const wchar_t* name;
    INVOKEKIND kind;
    MEMBERID id;
    int params;  // including [out, retval]
};

struct InterfaceRow {
    const wchar_t* name;
    const wchar_t* iid;
    WORD major, minor;
    std::vector<MemberRow> members;  // in slot order
};

const InterfaceRow kInterfaces[] = {
    {L"_IniFile", L"{CC289CE1-275D-43BA-A3B7-23E2C0D703D2}", 1, 2,
     {{L"Keys", INVOKE_PROPERTYGET, 0x68030000, 1},
      {L"GetAllSet", INVOKE_FUNC, 0x60030001, 2},
      {L"GetSet", INVOKE_FUNC, 0x60030002, 4},
      {L"SaveSet", INVOKE_FUNC, 0x60030003, 4},
      {L"IniFileName", INVOKE_PROPERTYPUT, 0, 1},
      {L"IniFileName", INVOKE_PROPERTYGET, 0, 1},
      {L"ExecuteSQL", INVOKE_FUNC, 0x60030007, 2},
      {L"GetAllSetToDict", INVOKE_FUNC, 0x60030008, 2}}},
    {L"_VemoFuns", L"{A8CB2546-E499-11D5-9FA9-00E04C54B3B6}", 1, 0,
     {{L"ExecCmd", INVOKE_FUNC, 0x60030003, 1},
      {L"GetLocalComputerName", INVOKE_FUNC, 0x60030004, 1},
      {L"AppSystemPath", INVOKE_PROPERTYGET, 0x68030002, 1},
      {L"WinPath", INVOKE_PROPERTYGET, 0x68030001, 1},
      {L"WinSysPath", INVOKE_PROPERTYGET, 0x68030000, 1},
      {L"AddStrNum", INVOKE_FUNC, 0x60030005, 2},
      {L"SetWindowOnTop", INVOKE_FUNC, 0x60030006, 6},
      {L"CNulls", INVOKE_FUNC, 0x60030007, 3},
      {L"MergeRowData", INVOKE_FUNC, 0x60030008, 4},
      {L"MergeRowDataV5", INVOKE_FUNC, 0x60030009, 4},
      {L"MakeComString", INVOKE_FUNC, 0x6003000A, 3},
      {L"GetComString", INVOKE_FUNC, 0x6003000B, 2},
      {L"GeneratePwd", INVOKE_FUNC, 0x6003000C, 4},
      {L"GetICMaxNum", INVOKE_FUNC, 0x6003000D, 3},
      {L"GetFOperate", INVOKE_FUNC, 0x6003000E, 3},
      {L"GetFOperateNew", INVOKE_FUNC, 0x6003000F, 4},
      {L"GetStockNumberByID", INVOKE_FUNC, 0x60030010, 6},
      {L"IsNull", INVOKE_FUNC, 0x60030011, 2},
      {L"GetICBillNo", INVOKE_FUNC, 0x60030012, 3},
      {L"CenterForm", INVOKE_FUNC, 0x60030013, 1},
      {L"SetToolBarLable", INVOKE_FUNC, 0x60030014, 2},
      {L"GetFullPathName", INVOKE_FUNC, 0x60030015, 2},
      {L"OpenAccessDSN", INVOKE_FUNC, 0x60030017, 3},
      {L"PeriodFromDate", INVOKE_FUNC, 0x60030018, 3},
      {L"GetString", INVOKE_FUNC, 0x60030019, 4},
      {L"ISIncludeChinese", INVOKE_FUNC, 0x6003001A, 2}}},
    {L"_Btns", L"{A8CB2544-E499-11D5-9FA9-00E04C54B3B6}", 1, 0,
     {{L"Add", INVOKE_FUNC, 0x60030001, 8},
      {L"Item", INVOKE_PROPERTYGET, 0, 2},
      {L"Count", INVOKE_PROPERTYGET, 0x68030000, 1},
      {L"Remove", INVOKE_FUNC, 0x60030002, 1},
      {L"NewEnum", INVOKE_PROPERTYGET, DISPID_NEWENUM, 1}}},
};

std::wstring Doc(ITypeInfo* info, MEMBERID id, std::wstring* help = nullptr) {
    BSTR name = nullptr, doc = nullptr;
    info->GetDocumentation(id, &name, &doc, nullptr, nullptr);
    std::wstring n = name ? name : L"";
    if (help) *help = doc ? doc : L"";
    SysFreeString(name);
    SysFreeString(doc);
    return n;
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
    TLIBATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(lib_->GetLibAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(attr->guid, Guid(L"{A8CB253F-E499-11D5-9FA9-00E04C54B3B6}")));
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 2);
    EXPECT_EQ(attr->lcid, 0u);
    EXPECT_EQ(attr->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    lib_->ReleaseTLibAttr(attr);
    BSTR name = nullptr, doc = nullptr;
    ASSERT_HRESULT_SUCCEEDED(lib_->GetDocumentation(-1, &name, &doc, nullptr, nullptr));
    EXPECT_STREQ(name, L"VemoFunction");
    EXPECT_STREQ(doc, L"DAZ Functions V2.0");
    SysFreeString(name);
    SysFreeString(doc);
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
        TYPEATTR* attr = nullptr;
        ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
        EXPECT_EQ(attr->typekind, TKIND_COCLASS);
        EXPECT_EQ(attr->wTypeFlags & (TYPEFLAG_FAPPOBJECT | TYPEFLAG_FCANCREATE | TYPEFLAG_FPREDECLID),
                  TYPEFLAG_FAPPOBJECT | TYPEFLAG_FCANCREATE | TYPEFLAG_FPREDECLID)
            << c.first;
        EXPECT_EQ(attr->cImplTypes, 1);
        info->ReleaseTypeAttr(attr);
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> iface;
        ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeOfImplType(0, &ref));
        ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeInfo(ref, iface.Out()));
        TYPEATTR* ia = nullptr;
        ASSERT_HRESULT_SUCCEEDED(iface->GetTypeAttr(&ia));
        EXPECT_TRUE(IsEqualGUID(ia->guid, Guid(c.second)));
        iface->ReleaseTypeAttr(ia);
        INT flags = 0;
        ASSERT_HRESULT_SUCCEEDED(info->GetImplTypeFlags(0, &flags));
        EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
    }
}

TEST_F(TypeLibTest, InterfacesAreHiddenDualMembersInSlotOrder) {
    for (const InterfaceRow& row : kInterfaces) {
        ComPtr<ITypeInfo> info = ByGuid(row.iid);
        ASSERT_TRUE(info);
        TYPEATTR* attr = nullptr;
        ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
        const WORD want = TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;
        EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
        EXPECT_EQ(attr->wTypeFlags & want, want) << Doc(info.Get(), MEMBERID_NIL);
        EXPECT_EQ(attr->wMajorVerNum, row.major);
        EXPECT_EQ(attr->wMinorVerNum, row.minor);
        info->ReleaseTypeAttr(attr);
        EXPECT_EQ(Doc(info.Get(), MEMBERID_NIL), row.name);

        // The vtable half: members after the seven IUnknown/IDispatch slots.
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> vt;
        ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref));
        ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeInfo(ref, vt.Out()));
        ASSERT_HRESULT_SUCCEEDED(vt->GetTypeAttr(&attr));
        EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION) << row.name;
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL) << row.name;
        EXPECT_EQ(attr->cFuncs, row.members.size()) << row.name;
        vt->ReleaseTypeAttr(attr);
        for (size_t i = 0; i < row.members.size(); ++i) {
            FUNCDESC* fd = nullptr;
            ASSERT_HRESULT_SUCCEEDED(vt->GetFuncDesc(static_cast<UINT>(i), &fd));
            const MemberRow& m = row.members[i];
            EXPECT_EQ(Doc(vt.Get(), fd->memid), m.name) << row.name << " slot " << i + 1;
            EXPECT_EQ(fd->memid, m.id) << m.name;
            EXPECT_EQ(fd->invkind, m.kind) << m.name;
            EXPECT_EQ(fd->cParams, m.params) << m.name;
            EXPECT_EQ(fd->oVft, static_cast<SHORT>((7 + i) * sizeof(void*))) << m.name;
            EXPECT_EQ(fd->callconv, CC_STDCALL);
            if (m.id == DISPID_NEWENUM) {
                EXPECT_TRUE(fd->wFuncFlags & FUNCFLAG_FHIDDEN);
            }
            vt->ReleaseFuncDesc(fd);
        }
    }
}

// Reads parameter `p` of member `name` in interface `iid`.
struct Param {
    VARTYPE vt;      // of the type, VT_PTR resolved one level into byRef
    bool byRef;
    USHORT flags;
    VARIANT def;
};

Param ParamOf(ITypeLib* lib, const wchar_t* iid, const wchar_t* name, int p) {
    ComPtr<ITypeInfo> info;
    lib->GetTypeInfoOfGuid(Guid(iid), info.Out());
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> vt;
    info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref);
    info->GetRefTypeInfo(ref, vt.Out());
    TYPEATTR* attr = nullptr;
    vt->GetTypeAttr(&attr);
    Param out = {};
    VariantInit(&out.def);
    for (UINT f = 0; f < attr->cFuncs; ++f) {
        FUNCDESC* fd = nullptr;
        vt->GetFuncDesc(f, &fd);
        if (Doc(vt.Get(), fd->memid) == name && fd->invkind != INVOKE_PROPERTYPUT) {
            const ELEMDESC& e = fd->lprgelemdescParam[p];
            out.byRef = e.tdesc.vt == VT_PTR;
            out.vt = out.byRef ? e.tdesc.lptdesc->vt : e.tdesc.vt;
            out.flags = e.paramdesc.wParamFlags;
            if ((out.flags & PARAMFLAG_FHASDEFAULT) && e.paramdesc.pparamdescex)
                VariantCopy(&out.def, &e.paramdesc.pparamdescex->varDefaultValue);
        }
        vt->ReleaseFuncDesc(fd);
    }
    vt->ReleaseTypeAttr(attr);
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
            ASSERT_EQ(V_VT(&p.def), VT_BSTR) << r.member;
            EXPECT_STREQ(V_BSTR(&p.def), r.text) << r.member;
        } else if (r.vt == VT_BOOL) {
            // Wine reads a stored VARIANT_TRUE back as 0x00FF; any non-zero
            // value counts as true for this parameter.
            EXPECT_EQ(V_VT(&p.def), VT_BOOL) << r.member;
            EXPECT_NE(V_BOOL(&p.def), VARIANT_FALSE) << r.member;
        } else {
            VARIANT n;
            VariantInit(&n);
            ASSERT_HRESULT_SUCCEEDED(VariantChangeType(&n, &p.def, 0, VT_I4)) << r.member;
            EXPECT_EQ(V_I4(&n), r.number) << r.member << " " << r.param;
        }
        VariantClear(&p.def);
    }
    Param d = ParamOf(lib_.Get(), L"{CC289CE1-275D-43BA-A3B7-23E2C0D703D2}", L"GetSet", 2);
    EXPECT_TRUE(d.byRef);
    EXPECT_EQ(d.vt, VT_VARIANT);
    ASSERT_EQ(V_VT(&d.def), VT_BSTR);
    EXPECT_EQ(SysStringLen(V_BSTR(&d.def)), 0u);
    VariantClear(&d.def);
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
        TYPEATTR* attr = nullptr;
        ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
        EXPECT_EQ(attr->typekind, TKIND_ENUM);
        EXPECT_EQ(attr->cVars, e.members.size());
        info->ReleaseTypeAttr(attr);
        for (size_t i = 0; i < e.members.size(); ++i) {
            VARDESC* vd = nullptr;
            ASSERT_HRESULT_SUCCEEDED(info->GetVarDesc(static_cast<UINT>(i), &vd));
            std::wstring help;
            EXPECT_EQ(Doc(info.Get(), vd->memid, &help), e.members[i].first);
            EXPECT_EQ(help, e.members[i].first);
            VARIANT n;
            VariantInit(&n);
            ASSERT_HRESULT_SUCCEEDED(VariantChangeType(&n, vd->lpvarValue, 0, VT_I4));
            EXPECT_EQ(V_I4(&n), e.members[i].second) << e.members[i].first;
            info->ReleaseVarDesc(vd);
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
        TYPEATTR* attr = nullptr;
        ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
        EXPECT_EQ(attr->typekind, TKIND_ALIAS);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FHIDDEN);
        ASSERT_EQ(attr->tdescAlias.vt, VT_USERDEFINED);
        ComPtr<ITypeInfo> target;
        ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeInfo(attr->tdescAlias.hreftype, target.Out()));
        EXPECT_EQ(Doc(target.Get(), MEMBERID_NIL), L"_IniFile");
        info->ReleaseTypeAttr(attr);
        EXPECT_EQ(Doc(info.Get(), MEMBERID_NIL), a.second);
    }
}

TEST_F(TypeLibTest, OutsideTypesAreReferencedNotEmbedded) {
    // Only the library's own twelve types live in it.
    EXPECT_EQ(lib_->GetTypeInfoCount(), 12u);
    Param cn = ParamOf(lib_.Get(), L"{A8CB2546-E499-11D5-9FA9-00E04C54B3B6}", L"GetICMaxNum", 1);
    EXPECT_TRUE(cn.byRef);
    EXPECT_EQ(cn.vt, VT_USERDEFINED);
}

}  // namespace
