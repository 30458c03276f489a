' IniFile.ExecuteSQL over the test host's data-access component and the
' PostgreSQL test database: the login's property string (an ADO connection
' string) is set for this process only.
Dim sp, pid, cs, login, monitor, g, f, rs, sql, n, d, doc, failures, c, i, s

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
'' The component answers something that is neither Nothing nor a recordset:
' a type mismatch, and the answer released with the component. Each case:
' the answer, what it is.
Dim answers, own, tv
Set own = CreateObject("ADODB.Connection")
Set tv = CreateObject("TestHost.TextValue")
answers = Array(Array(42, "a number"), Array("rows", "a text"), Array(Empty, "Empty"), Array(Null, "Null"), _
    Array(True, "a Boolean"), Array(tv, "an object without the recordset interface"), Array(own, "a connection"))
sp.SetProperty pid, "PropsString", login
For i = 0 To UBound(answers)
    g.AnswerNext answers(i)(0)
    On Error Resume Next
    Set rs = Nothing
    Set rs = f.ExecuteSQL("SELECT 1")
    n = Err.Number
    d = Err.Description
    Err.Clear
    On Error GoTo 0
    CheckEqual n, 13, "a type mismatch for " & answers(i)(1)
    Check InStr(d, "neither a recordset nor Nothing") > 0, "what the mismatch is: " & d
    Check rs Is Nothing, "no recordset for " & answers(i)(1)
Next
Set tv = Nothing
Set own = Nothing
' The controls: Nothing, and a recordset of the caller's own.
g.AnswerNext Nothing
Set rs = f.ExecuteSQL("SELECT 1")
Check rs Is Nothing, "an answer of Nothing is Nothing"
Set own = CreateObject("ADODB.Connection")
own.Open cs
Set c = own.Execute("SELECT 7 AS seven")
g.AnswerNext c
Set rs = f.ExecuteSQL("SELECT 1")
Check rs Is c, "a recordset is handed on as it came"
CheckEqual rs("seven").Value, 7, "and it reads"
own.Close
Set c = Nothing
Set rs = f.ExecuteSQL("SELECT 3 AS three")
CheckEqual rs("three").Value, 3, "the next call runs its text again"
CheckEqual g.LiveInstances, 1, "every data-access object of these calls is released"

' An error of the shared-property component reaches the caller as it was.
sp.FailGetProperty 1, &H80042345, "the shared properties are down"
On Error Resume Next
Set rs = f.ExecuteSQL("SELECT 1")
n = Err.Number
d = Err.Description
s = Err.Source
On Error GoTo 0
CheckEqual Hex(n), "80042345", "GetProperty's error number"
CheckEqual d, "the shared properties are down", "its description"
CheckEqual s, "Trellis.ShareProps", "its source"

CheckEqual f.SaveSet("Main", "k", "v"), False, "SaveSet after the failures"
CheckEqual f.GetSet("Main", "k", ""), "v", "GetSet after the failures"
CheckEqual g.LiveInstances, 1, "the data-access objects of failed calls are released"
sp.SetProperty pid, "PropsString"
