// The switch members called early-bound with the keys a VB client can pass,
// null BSTR included, checked against the test host's record of what
// reached ADO (AdoHost.CallRecord): a blank key opens no connection at all.
#include "com_test_support.h"
#include "VemoFunction_h.h"
#include "frame/late_bound.h"

namespace {

using vemo::Bstr;

class ErpdbKeysTest : public LibraryTest {};

TEST_F(ErpdbKeysTest, BlankKeysOpenNothingAndOthersOpenOnePrivateConnection) {
    ComPtr<_VemoFuns> f = Make<_VemoFuns>(CLSID_VemoFuns, IID__VemoFuns);
    ASSERT_TRUE(f);
    ComPtr<IDispatch> record, connection;
    ASSERT_EQ(vemo::Guarded([&] {
        record = vemo::CreateObject(L"AdoHost.CallRecord");
        connection = vemo::CreateObject(L"ADODB.Connection");
    }), S_OK);
    // A server that refuses at once: the Open is seen and fails.
    const wchar_t* text = L"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=1;Database=erp;";
    Bstr cs(text);
    ASSERT_EQ(vemo::Guarded([&] { vemo::Put(connection.Get(), L"ConnectionString", vemo::Arg::Text(cs.Get())); }), S_OK);
    ComPtr<_Connection> cn;
    ASSERT_HRESULT_SUCCEEDED(connection.As(cn, IID__Connection));
    auto recorded = [&] {
        std::wstring lines;
        EXPECT_EQ(vemo::Guarded([&] {
            lines = vemo::WideText(vemo::ToText(*vemo::Get(record.Get(), L"Text").Get()).Get());
            vemo::Call(record.Get(), L"Clear");
        }), S_OK);
        return lines;
    };
    const std::wstring failedOpen =
        std::wstring(L"Connection1.Open|") + text + L"|||-1|failed\nConnection1.Release|closed";
    const struct {
        const wchar_t* key;  // null: a null BSTR
        bool opens;
    } cases[] = {{nullptr, false}, {L"", false}, {L"    ", false}, {L"AB", true}, {L" \tAB", true}};
    recorded();
    for (const auto& c : cases) {
        const Bstr key = c.key ? Bstr(c.key) : Bstr();
        const std::wstring name = c.key ? std::wstring(L"[") + c.key + L"]" : L"null";
        LONG result = 0;
        ASSERT_HRESULT_SUCCEEDED(f->GetFOperate(key.Get(), cn.Get(), &result));
        EXPECT_EQ(result, -1) << name;
        EXPECT_EQ(recorded(), c.opens ? failedOpen : L"") << "GetFOperate " << name;
        Bstr kept(L"kept");
        ASSERT_HRESULT_SUCCEEDED(f->GetFOperateNew(key.Get(), cn.Get(), kept.InOut(), &result));
        EXPECT_EQ(result, -1) << name;
        EXPECT_EQ(vemo::WideText(kept.Get()), L"kept") << "sReturn unchanged for " << name;
        EXPECT_EQ(recorded(), c.opens ? failedOpen : L"") << "GetFOperateNew " << name;
    }
}

}  // namespace
