' Server sessions of the test host's ADO, counted in pg_stat_activity by
' their application name. A closed connection's session is pooled: handed
' to the next Open of the same text, reset first, at most four idle per
' text, and dropped after the idle time (2 s in these tests).
Const kPooledPerText = 4
Dim cs, monitor, cn, cmd, cmd2, tagged, rs, pid, i, many(5), n

cs = Env("VEMO_PG_ODBC")
Set monitor = CreateObject("ADODB.Connection")
monitor.Open cs

Function Count(sql)
    Dim rs
    Set rs = monitor.Execute(sql)
    Count = rs(0).Value
End Function

Function BackendOf(c)
    BackendOf = c.Execute("SELECT pg_backend_pid()")(0).Value
End Function

' A command with a connection of its own, from a connection string: its
' session outlives it in the pool, and the next command of the text gets it.
tagged = cs & "pqopt={application_name=ado_cmd};"
For i = 1 To 3
    Set cmd = ProcCommand(tagged, "GetICMaxNum", adVarChar, 50, "sessions", adInteger, 0)
    cmd.Execute , , -1
    Check cmd.Parameters(1).Value > 0, "a number from the command"
    Set cmd = Nothing
Next
CheckEqual Sessions(monitor, "ado_cmd"), 1, "three commands in turn share one pooled session"
CheckEqual SessionsAfterWait(monitor, "ado_cmd", 0), 0, "the idle session is dropped"

' Close and Open again reuse the session, reset: the open transaction is
' rolled back (its row lock released), temporary tables are gone.
Set cn = CreateObject("ADODB.Connection")
cn.Open cs & "pqopt={application_name=ado_cn};"
pid = BackendOf(cn)
cn.Execute "BEGIN"
cn.Execute "UPDATE ICMaxNum SET FMaxNum = FMaxNum + 1000 WHERE FTableName = 'icstockbill'"
cn.Execute "CREATE TEMP TABLE t_pooled (k integer)"
n = Count("SELECT FMaxNum FROM ICMaxNum WHERE FTableName = 'icstockbill'")
cn.Close
CheckEqual Sessions(monitor, "ado_cn"), 1, "the closed connection's session is kept"
CheckEqual Count("SELECT count(*) FROM pg_stat_activity WHERE application_name = 'ado_cn' AND state = 'idle'"), 1, _
    "no transaction left open in the pool"
monitor.Execute "SET lock_timeout = 2000"
monitor.Execute "UPDATE ICMaxNum SET FMaxNum = FMaxNum WHERE FTableName = 'icstockbill'"
monitor.Execute "RESET lock_timeout"
CheckEqual Count("SELECT FMaxNum FROM ICMaxNum WHERE FTableName = 'icstockbill'"), n, "the update was rolled back"
cn.Open
CheckEqual BackendOf(cn), pid, "Open after Close gets the same session"
Check IsNull(cn.Execute("SELECT to_regclass('t_pooled')")(0).Value), "the temporary table is gone"
CheckEqual cn.Execute("SELECT txid_current_if_assigned()")(0).Value & "", "", "no transaction carried over"
Set cn = Nothing
CheckEqual Sessions(monitor, "ado_cn"), 1, "releasing the open connection pools its session too"
CheckEqual SessionsAfterWait(monitor, "ado_cn", 0), 0, "and the pool empties"

' Six connections of one text at once: six sessions; closed, four stay.
For i = 0 To 5
    Set many(i) = CreateObject("ADODB.Connection")
    many(i).Open cs & "pqopt={application_name=ado_many};"
Next
CheckEqual Sessions(monitor, "ado_many"), 6, "one session per open connection"
For i = 0 To 5
    many(i).Close
Next
CheckEqual SessionsAfterWait(monitor, "ado_many", kPooledPerText), kPooledPerText, "the pool keeps four per text"
' Another text (here: other credentials) never gets them.
Set cn = CreateObject("ADODB.Connection")
cn.Open Replace(cs, "Pwd=;", "Pwd=other;") & "pqopt={application_name=ado_many};"
CheckEqual Sessions(monitor, "ado_many"), kPooledPerText + 1, "a new session for another text"
cn.Close
Set cn = Nothing
CheckEqual SessionsAfterWait(monitor, "ado_many", 0), 0, "all dropped after the idle time"

' A connection shared by two commands lives until the last one lets go.
Set cn = CreateObject("ADODB.Connection")
cn.Open cs & "pqopt={application_name=ado_shared};"
Set cmd = CreateObject("ADODB.Command")
Set cmd.ActiveConnection = cn
Set cmd2 = CreateObject("ADODB.Command")
Set cmd2.ActiveConnection = cn
pid = BackendOf(cn)
Set cn = Nothing
Set cmd = Nothing
cmd2.CommandText = "SELECT pg_backend_pid()"
Set rs = cmd2.Execute
CheckEqual rs.Fields(0).Value, pid, "still the same connection"
Set rs = Nothing
Set cmd2 = Nothing
CheckEqual SessionsAfterWait(monitor, "ado_shared", 0), 0, "gone with the last command and the idle time"

' A failed open leaves no session behind.
Set cmd = CreateObject("ADODB.Command")
On Error Resume Next
cmd.ActiveConnection = Replace(tagged, "Database=erp", "Database=nosuchdb")
Check Err.Number <> 0, "open of a missing database fails"
Err.Clear
On Error GoTo 0
CheckEqual Sessions(monitor, "ado_cmd"), 0, "no session from a failed open"
