// The ERP database members against the same ADO sequence written directly
// in this client, on the same database in the same run: GetICBillNo (the
// output-parameter procedure over a private connection) and GetFOperate
// (a statement over a private connection). Rounds alternate between the
// two, so that a busy machine slows both alike. Prints calls per second for
// both and the library's overhead ratio (the goal is at most 1.1).
//
// Runs behind scripts/erpdb run (VEMO_PG_ODBC), in a prefix where the
// library and the ADO subset are registered.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "frame/errors.h"
#include "frame/late_bound.h"
#include "VemoFunction_h.h"

using namespace vemo;

namespace {

double Seconds(const std::function<void()>& body, int calls) {
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    for (int i = 0; i < calls; ++i) body();
    QueryPerformanceCounter(&b);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

// The sequence GetICBillNo runs, written out by hand.
void DirectBillNo(BSTR text) {
    ComPtr<IDispatch> command = CreateObject(L"ADODB.Command");
    Put(command.Get(), L"ActiveConnection", Arg::Text(text));
    Bstr name(L"GetICBillNo");
    Put(command.Get(), L"CommandText", Arg::Text(name.Get()));
    Put(command.Get(), L"CommandType", Arg::Long(4));
    Bstr in(L"@BillType"), out(L"@BilliD");
    Variant p1 = Call(command.Get(), L"CreateParameter",
                      {Arg::Text(in.Get()), Arg::Long(3), Arg::Long(1), Arg::Long(50), Arg::Long(1)});
    Variant params = Get(command.Get(), L"Parameters");
    Call(AsObject(*params.Get()).Get(), L"Append", {Arg::Value(*p1.Get())});
    Variant p2 = Call(command.Get(), L"CreateParameter",
                      {Arg::Text(out.Get()), Arg::Long(200), Arg::Long(2), Arg::Long(30)});
    Call(AsObject(*params.Get()).Get(), L"Append", {Arg::Value(*p2.Get())});
    { Variant rows = Call(command.Get(), L"Execute", {Arg::Missing(), Arg::Missing(), Arg::Long(-1)}); }
    Variant value = Get(AsObject(*p2.Get()).Get(), L"Value");
    if (V_VT(value.Get()) != VT_BSTR) std::exit(3);
}

// The sequence GetFOperate runs, written out by hand.
void DirectOperate(BSTR text) {
    ComPtr<IDispatch> connection = CreateObject(L"ADODB.Connection");
    Bstr none(L"");
    Call(connection.Get(), L"Open", {Arg::Text(text), Arg::Text(none.Get()), Arg::Text(none.Get()), Arg::Long(-1)});
    Bstr sql(L"SELECT FOperate FROM ICSwitch WHERE FShortCut='AB'");
    Variant rows = Call(connection.Get(), L"Execute", {Arg::Text(sql.Get()), Arg::Missing(), Arg::Long(-1)});
    ComPtr<IDispatch> rs = AsObject(*rows.Get());
    Variant count = Get(rs.Get(), L"RecordCount");
    Variant fields = Get(rs.Get(), L"Fields");
    Bstr field(L"FOperate");
    Variant item = Get(AsObject(*fields.Get()).Get(), L"Item", {Arg::Text(field.Get())});
    Variant value = Get(AsObject(*item.Get()).Get(), L"Value");
    if (ToLong(*value.Get()) != 3) std::exit(3);
    Call(rs.Get(), L"Close");
}

}  // namespace

int main(int argc, char** argv) {
    int calls = argc > 1 ? std::atoi(argv[1]) : 20;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    CoInitialize(nullptr);
    wchar_t cs[2048] = {};
    if (!GetEnvironmentVariableW(L"VEMO_PG_ODBC", cs, 2048)) { std::printf("VEMO_PG_ODBC is not set\n"); return 2; }
    Bstr text(cs);
    ComPtr<_VemoFuns> funs;
    ComPtr<IDispatch> connection;
    if (FAILED(CoCreateInstance(CLSID_VemoFuns, nullptr, CLSCTX_INPROC_SERVER, IID__VemoFuns, funs.OutVoid()))) {
        std::printf("the library is not registered\n");
        return 2;
    }
    Guarded([&] {
        connection = CreateObject(L"ADODB.Connection");
        Put(connection.Get(), L"ConnectionString", Arg::Text(text.Get()));
    });
    _Connection* cn = nullptr;
    if (!connection || FAILED(connection->QueryInterface(IID__Connection, reinterpret_cast<void**>(&cn)))) return 2;

    double libBill = 0, directBill = 0, libOperate = 0, directOperate = 0;
    HRESULT hr = Guarded([&] {
        for (int r = 0; r < rounds; ++r) {
            libBill += Seconds([&] {
                BSTR bill = nullptr;
                if (FAILED(funs->GetICBillNo(BillOutStock, cn, &bill)) || !bill || !*bill) std::exit(3);
                SysFreeString(bill);
            }, calls);
            directBill += Seconds([&] { DirectBillNo(text.Get()); }, calls);
            Bstr key(L"AB");
            libOperate += Seconds([&] {
                LONG v = 0;
                if (FAILED(funs->GetFOperate(key.Get(), cn, &v)) || v != 3) std::exit(3);
            }, calls);
            directOperate += Seconds([&] { DirectOperate(text.Get()); }, calls);
        }
    });
    cn->Release();
    if (FAILED(hr)) { std::printf("a direct ADO call failed: 0x%08lx\n", static_cast<unsigned long>(hr)); return 2; }
    int total = calls * rounds;
    std::printf("GetICBillNo: library %.1f calls/s, direct ADO %.1f calls/s, overhead ratio %.3f\n",
                total / libBill, total / directBill, libBill / directBill);
    std::printf("GetFOperate: library %.1f calls/s, direct ADO %.1f calls/s, overhead ratio %.3f\n",
                total / libOperate, total / directOperate, libOperate / directOperate);
    CoUninitialize();
    return 0;
}
