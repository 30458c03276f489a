// The ERP database members against two yardsticks measured in the same run
// on the same database:
//  - the same ADO sequence written directly in this client (the library's
//    overhead; goal at most 1.05);
//  - the member's statements as plain ODBC round trips on a connection that
//    is already open (the floor under any ADO; goal at most 3).
// GetICBillNo and PeriodFromDate run an output-parameter procedure over a
// private connection, GetFOperate a statement over a private connection,
// GetStockNumberByID two statements on the caller's open connection (its
// floor is those two round trips). Rounds alternate between the three, so
// that a busy machine slows all alike.
//
// Each measurement runs twice. First as a client under Wine meets it: every
// creation by ProgID goes through Wine's class lookup, registry reads through
// its server that cost more than a database round trip (the creation steps
// are printed). Then with ADO's class objects registered in this process
// (CoRegisterClassObject), which Wine consults before the registry: a
// creation then costs about what it costs on Windows, where COM keeps the
// class objects of a loaded in-process server in its class cache. The
// second run is the library's own cost against the floor.
//
// A member over a private connection gets its session from the test host's
// pool, which probes it in one round trip before handing it out (a session
// whose server restarted is never handed out); that round trip is measured
// too, and the ratio to the floor and the probe together is printed beside.
//
// Runs behind scripts/erpdb run (VEMO_PG_ODBC), in a prefix where the
// library and the ADO subset are registered.
#include <windows.h>
#include <oleauto.h>
#include <sql.h>
#include <sqlext.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

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

[[noreturn]] void Fail(const char* what) {
    std::printf("failed: %s\n", what);
    std::exit(3);
}

const DATE kPeriodDate = 46127;  // 2026-04-15, in period 4 of the seed

// The output-parameter sequence GetICBillNo and PeriodFromDate run, by hand.
Variant DirectProcedure(BSTR text, const wchar_t* procedure, const wchar_t* inName, LONG inType, LONG inSize,
                        const Arg& in, const wchar_t* outName, LONG outType, LONG outSize) {
    ComPtr<IDispatch> command = CreateObject(L"ADODB.Command");
    Put(command.Get(), L"ActiveConnection", Arg::Text(text));
    Bstr name(procedure);
    Put(command.Get(), L"CommandText", Arg::Text(name.Get()));
    Put(command.Get(), L"CommandType", Arg::Long(4));
    Bstr inText(inName), outText(outName);
    Variant p1 = Call(command.Get(), L"CreateParameter",
                      {Arg::Text(inText.Get()), Arg::Long(inType), Arg::Long(1), Arg::Long(inSize), in});
    Variant params = Get(command.Get(), L"Parameters");
    Call(AsObject(*params.Get()).Get(), L"Append", {Arg::Value(*p1.Get())});
    Variant p2 = Call(command.Get(), L"CreateParameter",
                      {Arg::Text(outText.Get()), Arg::Long(outType), Arg::Long(2), Arg::Long(outSize)});
    Call(AsObject(*params.Get()).Get(), L"Append", {Arg::Value(*p2.Get())});
    { Variant rows = Call(command.Get(), L"Execute", {Arg::Missing(), Arg::Missing(), Arg::Long(-1)}); }
    return Get(AsObject(*p2.Get()).Get(), L"Value");
}

Variant FirstField(IDispatch* connection, const wchar_t* statement, const wchar_t* field) {
    Bstr sql(statement);
    Variant rows = Call(connection, L"Execute", {Arg::Text(sql.Get()), Arg::Missing(), Arg::Long(-1)});
    ComPtr<IDispatch> rs = AsObject(*rows.Get());
    Variant fields = Get(rs.Get(), L"Fields");
    Bstr name(field);
    Variant item = Get(AsObject(*fields.Get()).Get(), L"Item", {Arg::Text(name.Get())});
    return Get(AsObject(*item.Get()).Get(), L"Value");
}

// The sequence GetFOperate runs, by hand.
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
    if (ToLong(*value.Get()) != 3) Fail("direct GetFOperate");
    Call(rs.Get(), L"Close");
}

const wchar_t kUnitSql[] = L"select * from vwICUnitCoe Where FItemID=2";
const wchar_t kStockSql[] = L"select * from ICInventory Where FBrNo='01' AND FStockID=1 AND FItemID=11";

// The floor: plain ODBC on one open connection.
class Odbc {
public:
    explicit Odbc(const wchar_t* text) {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
        SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
        std::wstring in(text);
        if (!SQL_SUCCEEDED(SQLDriverConnectW(dbc_, nullptr, reinterpret_cast<SQLWCHAR*>(&in[0]), SQL_NTS, nullptr, 0,
                                             nullptr, SQL_DRIVER_NOPROMPT)))
            Fail("ODBC connect");
    }
    ~Odbc() {
        SQLDisconnect(dbc_);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        SQLFreeHandle(SQL_HANDLE_ENV, env_);
    }
    // A statement without a result.
    void Exec(const wchar_t* sql) {
        SQLHSTMT s = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &s);
        std::wstring text(sql);
        if (!SQL_SUCCEEDED(SQLExecDirectW(s, reinterpret_cast<SQLWCHAR*>(&text[0]), SQL_NTS))) Fail("ODBC statement");
        SQLFreeHandle(SQL_HANDLE_STMT, s);
    }
    // One statement, its parameters bound as the test host binds them, and
    // the first column of its first row.
    std::wstring Run(const wchar_t* sql, const std::function<void(SQLHSTMT)>& bind = nullptr) {
        SQLHSTMT s = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &s);
        if (bind) bind(s);
        std::wstring text(sql);
        SQLWCHAR out[64] = {};
        SQLLEN ind = 0;
        if (!SQL_SUCCEEDED(SQLExecDirectW(s, reinterpret_cast<SQLWCHAR*>(&text[0]), SQL_NTS)) ||
            !SQL_SUCCEEDED(SQLFetch(s)) || !SQL_SUCCEEDED(SQLGetData(s, 1, SQL_C_WCHAR, out, sizeof out, &ind)))
            Fail("ODBC statement");
        SQLFreeHandle(SQL_HANDLE_STMT, s);
        return reinterpret_cast<wchar_t*>(out);
    }

private:
    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
};

// Where one creation by ProgID goes: each step of it alone, in ms per call.
void CreationSteps(int calls) {
    APTTYPE type = APTTYPE_CURRENT;
    APTTYPEQUALIFIER qualifier = APTTYPEQUALIFIER_NONE;
    CoGetApartmentType(&type, &qualifier);
    CLSID clsid = {};
    CLSIDFromProgID(L"ADODB.Connection", &clsid);
    ComPtr<IClassFactory> factory;
    CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.OutVoid());
    if (!factory) Fail("class object of ADODB.Connection");
    auto ms = [&](const std::function<void()>& body) { return 1000 * Seconds(body, calls) / calls; };
    double progId = ms([&] { CLSID c; CLSIDFromProgID(L"ADODB.Connection", &c); });
    double create = ms([&] {
        ComPtr<IDispatch> d;
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch, d.OutVoid());
    });
    double classObject = ms([&] {
        ComPtr<IClassFactory> f;
        CoGetClassObject(clsid, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, nullptr, IID_IClassFactory, f.OutVoid());
    });
    double instance = ms([&] {
        ComPtr<IDispatch> d;
        factory->CreateInstance(nullptr, IID_IDispatch, d.OutVoid());
    });
    double byProgId = ms([&] { ComPtr<IDispatch> d = CreateObject(L"ADODB.Connection"); });
    std::printf("creation of ADODB.Connection (apartment type %d), ms per call: CLSIDFromProgID %.3f, "
                "CoCreateInstance %.3f, CoGetClassObject %.3f, IClassFactory::CreateInstance %.3f, "
                "CreateObject %.3f\n",
                static_cast<int>(type), progId, create, classObject, instance, byProgId);
}

struct Case {
    const char* name;
    std::function<void()> library, direct, floor;
    // A member over a private connection: the session comes from the test
    // host's pool, which probes it first (one more round trip, measured as
    // the floor's statement is).
    bool privateConnection;
    double libraryTime = 0, directTime = 0, floorTime = 0, probeTime = 0;
};

void Measure(std::vector<Case>& cases, const std::function<void()>& probe, int calls, int rounds) {
    for (Case& c : cases) {
        c.library(), c.direct(), c.floor();  // warm: pooled sessions, loaded drivers
        c.libraryTime = c.directTime = c.floorTime = c.probeTime = 0;
    }
    for (int r = 0; r < rounds; ++r) {
        for (Case& c : cases) {
            // Library and direct sequence take turns at going first, so
            // neither always follows the previous case's floor.
            if (r % 2 == 0) {
                c.libraryTime += Seconds(c.library, calls);
                c.directTime += Seconds(c.direct, calls);
            } else {
                c.directTime += Seconds(c.direct, calls);
                c.libraryTime += Seconds(c.library, calls);
            }
            c.floorTime += Seconds(c.floor, calls);
            if (c.privateConnection) c.probeTime += Seconds(probe, calls);
        }
    }
}

void Report(const char* how, const std::vector<Case>& cases, int total) {
    std::printf("%s:\n", how);
    for (const Case& c : cases) {
        std::printf("  %s: library %.1f calls/s, direct ADO %.1f calls/s (ratio %.3f, goal <= 1.05), "
                    "ODBC round trips on an open connection %.1f/s (ratio %.2f, goal <= 3)",
                    c.name, total / c.libraryTime, total / c.directTime, c.libraryTime / c.directTime,
                    total / c.floorTime, c.libraryTime / c.floorTime);
        if (c.privateConnection)
            std::printf(", with the pool's probe %.1f/s (ratio to both %.2f)", total / c.probeTime,
                        c.libraryTime / (c.floorTime + c.probeTime));
        std::printf("\n");
    }
}

// ADO's class objects, registered in this process while it lives.
class RegisteredClasses {
public:
    RegisteredClasses() {
        for (const wchar_t* progId : {L"ADODB.Connection", L"ADODB.Command", L"ADODB.Recordset"}) {
            CLSID clsid = {};
            ComPtr<IClassFactory> factory;
            DWORD cookie = 0;
            if (FAILED(CLSIDFromProgID(progId, &clsid)) ||
                FAILED(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.OutVoid())) ||
                FAILED(CoRegisterClassObject(clsid, factory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
                Fail("registering the class objects of ADO");
            cookies_.push_back(cookie);
        }
    }
    ~RegisteredClasses() {
        for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
    }

private:
    std::vector<DWORD> cookies_;
};

}  // namespace

int main(int argc, char** argv) {
    int calls = argc > 1 ? std::atoi(argv[1]) : 20;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    CoInitialize(nullptr);
    wchar_t cs[2048] = {};
    if (!GetEnvironmentVariableW(L"VEMO_PG_ODBC", cs, 2048)) { std::printf("VEMO_PG_ODBC is not set\n"); return 2; }
    Bstr text(cs);
    ComPtr<_VemoFuns> funs;
    if (FAILED(CoCreateInstance(CLSID_VemoFuns, nullptr, CLSCTX_INPROC_SERVER, IID__VemoFuns, funs.OutVoid()))) {
        std::printf("the library is not registered\n");
        return 2;
    }
    // A closed caller connection for the private-connection members, an
    // open one for GetStockNumberByID.
    ComPtr<IDispatch> closed, open;
    Bstr none(L"");
    Guarded([&] {
        closed = CreateObject(L"ADODB.Connection");
        Put(closed.Get(), L"ConnectionString", Arg::Text(text.Get()));
        open = CreateObject(L"ADODB.Connection");
        Call(open.Get(), L"Open", {Arg::Text(text.Get()), Arg::Text(none.Get()), Arg::Text(none.Get()), Arg::Long(-1)});
    });
    ComPtr<_Connection> cn, openCn;
    if (!closed || !open || FAILED(closed->QueryInterface(IID__Connection, cn.OutVoid())) ||
        FAILED(open->QueryInterface(IID__Connection, openCn.OutVoid())))
        return 2;
    Odbc odbc(cs);
    Bstr key(L"AB"), branch(L"01"), stock(L"1"), item(L"11"), unit(L"2");

    std::vector<Case> cases;
    cases.push_back({"GetICBillNo",
        [&] {
            BSTR bill = nullptr;
            if (FAILED(funs->GetICBillNo(BillOutStock, cn.Get(), &bill)) || !bill || !*bill) Fail("GetICBillNo");
            SysFreeString(bill);
        },
        [&] {
            Variant v = DirectProcedure(text.Get(), L"GetICBillNo", L"@BillType", 3, 50, Arg::Long(1), L"@BilliD", 200, 30);
            if (V_VT(v.Get()) != VT_BSTR) Fail("direct GetICBillNo");
        },
        [&] {
            SQLINTEGER type = 1;
            SQLLEN typeInd = 0, outInd = SQL_NULL_DATA;
            SQLWCHAR outBuf[2] = {};
            odbc.Run(L"CALL GetICBillNo(?, ?)", [&](SQLHSTMT s) {
                SQLBindParameter(s, 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 10, 0, &type, 0, &typeInd);
                SQLBindParameter(s, 2, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_VARCHAR, 30, 0, outBuf, sizeof outBuf, &outInd);
            });
        },
        true});
    cases.push_back({"GetFOperate",
        [&] {
            LONG v = 0;
            if (FAILED(funs->GetFOperate(key.Get(), cn.Get(), &v)) || v != 3) Fail("GetFOperate");
        },
        [&] { DirectOperate(text.Get()); },
        [&] {
            if (odbc.Run(L"SELECT FOperate FROM ICSwitch WHERE FShortCut='AB'") != L"3") Fail("ODBC GetFOperate");
        },
        true});
    cases.push_back({"GetStockNumberByID",
        [&] {
            double v = 0;
            if (FAILED(funs->GetStockNumberByID(branch.Get(), stock.Get(), item.Get(), unit.Get(), openCn.Get(), &v)) ||
                v != 3.5)
                Fail("GetStockNumberByID");
        },
        [&] {
            // Through the same interface pointer the member is given.
            double coefficient = ToDouble(*FirstField(openCn.Get(), kUnitSql, L"FCoefficient").Get());
            double quantity = ToDouble(*FirstField(openCn.Get(), kStockSql, L"FQty").Get());
            if (coefficient * quantity != 3.5) Fail("direct GetStockNumberByID");
        },
        [&] {
            odbc.Run(kUnitSql);
            odbc.Run(kStockSql);
        },
        false});
    cases.push_back({"PeriodFromDate",
        [&] {
            short v = 0;
            if (FAILED(funs->PeriodFromDate(kPeriodDate, cn.Get(), &v)) || v != 4) Fail("PeriodFromDate");
        },
        [&] {
            Variant v = DirectProcedure(text.Get(), L"sp_PeriodFromDate", L"@Date", 135, 0, Arg::Date(kPeriodDate),
                                        L"@Period", 3, 0);
            if (ToLong(*v.Get()) != 4) Fail("direct PeriodFromDate");
        },
        [&] {
            SQL_TIMESTAMP_STRUCT ts = {2026, 4, 15, 0, 0, 0, 0};
            SQLLEN tsInd = sizeof ts, outInd = SQL_NULL_DATA;
            SQLINTEGER out = 0;
            odbc.Run(L"CALL sp_PeriodFromDate(?, ?)", [&](SQLHSTMT s) {
                SQLBindParameter(s, 1, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 23, 3, &ts, 0, &tsInd);
                SQLBindParameter(s, 2, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 10, 0, &out, 0, &outInd);
            });
        },
        true});

    // The pool's probe on hand-out, as the test host sends it.
    const auto probe = [&] { odbc.Exec(L"DISCARD TEMP"); };
    const int total = calls * rounds;
    HRESULT hr = Guarded([&] {
        Measure(cases, probe, calls, rounds);
        CreationSteps(total);
        Report("every creation through Wine's class lookup", cases, total);
        RegisteredClasses registered;
        Measure(cases, probe, calls, rounds);
        Report("ADO's class objects registered in the process (creation as cheap as Windows' class cache)", cases,
               total);
    });
    if (FAILED(hr)) { std::printf("a direct ADO call failed: 0x%08lx\n", static_cast<unsigned long>(hr)); return 2; }
    cn.Reset();
    openCn.Reset();
    closed.Reset();
    open.Reset();
    funs.Reset();
    CoUninitialize();
    return 0;
}
