' IniFile.ExecuteSQL over the test host's data-access component and the
' PostgreSQL test database: the login's property string (an ADO connection
' string) is set for this process only.
Dim sp, pid, cs, login, monitor, g, f, rs, sql, n, d, doc, failures, c, i

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

' A real query returns its rows; the connection is gone while they live.
Set rs = f.ExecuteSQL("SELECT n, 'row ' || n AS label FROM generate_series(1, 3) AS n ORDER BY n")
Check Not rs Is Nothing, "a query gives a recordset"
CheckEqual g.LastArgumentTypes, "8,16392", "property string by value, SQL text by reference"
CheckEqual g.LiveInstances, 1, "the data-access object of the call is released"
CheckEqual SessionsAfterWait(monitor, "tally_sql", 0), 0, "no session left open while the recordset lives"
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

' Failures are raised as they are and leave the settings alone. Each case:
' the login's property string, the statement, the error number (0: any but
' 0) and a text the description holds (if any).
failures = Array( _
    Array(login, "SELECT * FROM no_such_table_tally", 0, "no_such_table_tally"), _
    Array(Null, "SELECT 1", 13, ""), _
    Array("", "SELECT 1", 0, "No login"))
For i = 0 To UBound(failures)
    c = failures(i)
    sp.SetProperty pid, "PropsString", c(0)
    On Error Resume Next
    Set rs = Nothing
    Set rs = f.ExecuteSQL(c(1))
    n = Err.Number
    d = Err.Description
    Err.Clear
    On Error GoTo 0
    Check n <> 0, "a failure raises: case " & i
    If c(2) <> 0 Then CheckEqual n, c(2), "the error of case " & i
    If c(3) <> "" Then Check InStr(d, c(3)) > 0, "the component's or server's text: " & d
    Check rs Is Nothing, "no recordset after a failure: case " & i
Next
CheckEqual f.SaveSet("Main", "k", "v"), False, "SaveSet after the failures"
CheckEqual f.GetSet("Main", "k", ""), "v", "GetSet after the failures"
CheckEqual g.LiveInstances, 1, "the data-access objects of failed calls are released"
sp.SetProperty pid, "PropsString"
