' IniFile.ExecuteSQL over the test host's data-access component and the
' PostgreSQL test database: the login's property string (an ADO connection
' string) is set for this process only.
Dim sp, pid, cs, login, monitor, g, f, rs, sql, n, doc

cs = Env("VEMO_PG_ODBC")
login = cs & "pqopt={application_name=tally_sql};"
Set sp = CreateObject("Trellis.ShareProps")
pid = sp.CurrentProcessId
sp.SetProperty pid, "PropsString", login
Set monitor = CreateObject("ADODB.Connection")
monitor.Open cs
Set g = CreateObject("Tally.GetData")
Set f = CreateObject("VemoFunction.IniFile")
doc = "executesql-" & CStr(Int(Timer * 100)) & ".INI"
f.IniFileName = doc

' A server process ends shortly after its client leaves: wait up to 5 s.
Function SessionsAfterWait(name, expected)
    Dim i, r
    For i = 1 To 50
        Set r = monitor.Execute("SELECT count(*) FROM pg_stat_activity WHERE application_name = '" & name & "'")
        SessionsAfterWait = r(0).Value
        If SessionsAfterWait = expected Then Exit Function
        monitor.Execute "SELECT pg_sleep(0.1)"
    Next
End Function

' A real query returns its rows; the connection is gone while they live.
Set rs = f.ExecuteSQL("SELECT n, 'row ' || n AS label FROM generate_series(1, 3) AS n ORDER BY n")
Check Not rs Is Nothing, "a query gives a recordset"
CheckEqual g.LastArgumentTypes, "8,16392", "property string by value, SQL text by reference"
CheckEqual g.LiveInstances, 1, "the data-access object of the call is released"
CheckEqual SessionsAfterWait("tally_sql", 0), 0, "no session left open while the recordset lives"
n = 0
Do While Not rs.EOF
    n = n + 1
    CheckEqual CLng(rs("n").Value), n, "row number"
    CheckEqual rs("label").Value, "row " & n, "row text"
    rs.MoveNext
Loop
CheckEqual n, 3, "all rows read"

' The text reaches the component as it stands: quotes, tabs, line breaks,
' surrounding blanks (VBScript here has no ChrW: the C++ test sends other
' letters).
sql = "  SELECT 'a''b" & vbTab & "\%' AS t," & vbCrLf & " 2 AS u -- end " & vbLf
Set rs = f.ExecuteSQL(sql)
CheckEqual g.LastSql, sql, "the SQL text unchanged"
CheckEqual rs("t").Value, "a'b" & vbTab & "\%", "the server saw the same text"

' A statement without rows gives Nothing, and so does the empty text.
Set rs = f.ExecuteSQL("CREATE TEMP TABLE tally_scratch (x int)")
Check rs Is Nothing, "a statement without a result set gives Nothing"
Set rs = f.ExecuteSQL("")
Check rs Is Nothing, "the empty text gives Nothing"
CheckEqual Len(g.LastSql), 0, "the empty text reached the component"

' Failures are raised as they are and leave the settings alone.
On Error Resume Next
Set rs = Nothing
Set rs = f.ExecuteSQL("SELECT * FROM no_such_table_tally")
n = Err.Number
Check InStr(Err.Description, "no_such_table_tally") > 0, "the server's message: " & Err.Description
Err.Clear
On Error GoTo 0
Check n <> 0, "a failing statement raises"
Check rs Is Nothing, "no recordset after a failure"
sp.SetProperty pid, "PropsString", Null
On Error Resume Next
Set rs = f.ExecuteSQL("SELECT 1")
n = Err.Number
Err.Clear
On Error GoTo 0
CheckEqual n, 13, "a Null property string raises the coercion error (type mismatch)"
sp.SetProperty pid, "PropsString", ""
On Error Resume Next
Set rs = f.ExecuteSQL("SELECT 1")
n = Err.Number
Check InStr(Err.Description, "No login") > 0, "the component refuses an empty login: " & Err.Description
Err.Clear
On Error GoTo 0
Check n <> 0, "an empty property string raises"
CheckEqual f.SaveSet("Main", "k", "v"), False, "SaveSet after the failures"
CheckEqual f.GetSet("Main", "k", ""), "v", "GetSet after the failures"
CheckEqual g.LiveInstances, 1, "the data-access objects of failed calls are released"
sp.SetProperty pid, "PropsString"
