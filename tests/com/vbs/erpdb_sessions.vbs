' After a run of library calls, successful and failing, the sessions the
' library opened are the pooled one of the text, which goes after the
' pool's idle time (2 s here), and the caller's connection kept its state.
' The private connections carry the caller connection's text, so a tagged
' text finds them in pg_stat_activity. Then the members that need no stored
' procedure against the SQLite file.
Const kTag = "vemo_library"
Dim f, cs, monitor, caller, openCaller, i, n, s, lite
Set f = CreateObject("VemoFunction.VemoFuns")
cs = Env("VEMO_PG_ODBC")
Set monitor = CreateObject("ADODB.Connection")
monitor.Open cs

Set caller = CreateObject("ADODB.Connection")
caller.ConnectionString = cs & "pqopt={application_name=" & kTag & "};"
For i = 1 To 15
    n = f.GetICMaxNum("sessions", caller)
    s = f.GetICBillNo(2, caller)
    n = f.GetICMaxNum("NullTable", caller)
    n = f.GetFOperate("AB", caller)
    n = f.GetFOperate("NOPE", caller)
    s = "x"
    n = f.GetFOperateNew("NULLID", caller, s)
    n = f.PeriodFromDate(DateSerial(2026, 5, 1), caller)
    n = f.PeriodFromDate(DateSerial(2090, 4, 1), caller)
Next
CheckEqual Sessions(monitor, kTag), 1, "calls in turn leave one pooled private session"
CheckEqual SessionsAfterWait(monitor, kTag, 0), 0, "none left after the idle time"
CheckEqual caller.State, 0, "the caller's connection is still closed"

' The caller's own open connection is the only session of its text.
Set openCaller = CreateObject("ADODB.Connection")
openCaller.Open cs & "pqopt={application_name=" & kTag & "};"
For i = 1 To 10
    n = f.GetStockNumberByID("01", "1", "10", "1", openCaller)
    n = f.GetFOperate("AB", openCaller)
    n = f.GetStockNumberByID("01", "1", "x", "1", openCaller)
Next
CheckEqual Sessions(monitor, kTag), 2, "the caller's own session and one pooled private session"
CheckEqual SessionsAfterWait(monitor, kTag, 1), 1, "only the caller's own session remains"
CheckEqual openCaller.State, 1, "the caller's connection is still open"
openCaller.Close
CheckEqual SessionsAfterWait(monitor, kTag, 0), 0, "and none once the pool dropped the caller's"

' SQLite: the same tables, no procedures.
Set lite = CreateObject("ADODB.Connection")
lite.Open Env("VEMO_SQLITE_ODBC")
CheckEqual f.GetFOperate("AB", lite), 3, "a switch from the SQLite file"
s = "keep"
CheckEqual f.GetFOperateNew("AB", lite, s), 3, "GetFOperateNew on SQLite"
CheckEqual s, "12", "its FID"
CheckEqual f.GetFOperate("x' OR '1'='1", lite), -1, "injection on SQLite"
CheckEqual f.GetStockNumberByID("01", "1", "10", "1", lite), 10, "stock from the SQLite file"
CheckEqual f.GetStockNumberByID("01", "1", "11", "2", lite), 3.5, "coefficient 0.5 on SQLite"
CheckEqual f.GetICMaxNum("ICStockBill", lite), -1, "no procedures on SQLite: -1"
CheckEqual f.GetICBillNo(0, lite), "", "no procedures on SQLite: the empty text"
CheckEqual lite.State, 1, "the SQLite connection stays open"
lite.Close
