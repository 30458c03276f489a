' Releasing the last reference to a Command or a Connection ends its server
' session: the sessions are counted in pg_stat_activity by their
' application name.
Const adInteger = 3, adVarChar = 200, adParamInput = 1, adParamOutput = 2, adCmdStoredProc = 4
Dim cs, monitor, cn, cmd, cmd2, tagged, rs

cs = Env("VEMO_PG_ODBC")
Set monitor = CreateObject("ADODB.Connection")
monitor.Open cs

Function Sessions(name)
    Dim rs
    Set rs = monitor.Execute("SELECT count(*) FROM pg_stat_activity WHERE application_name = '" & name & "'")
    Sessions = rs(0).Value
End Function

' A server process ends shortly after its client leaves: wait up to 5 s.
Function SessionsAfterWait(name, expected)
    Dim i, n
    For i = 1 To 50
        n = Sessions(name)
        If n = expected Then Exit For
        monitor.Execute "SELECT pg_sleep(0.1)"
    Next
    SessionsAfterWait = n
End Function

' A command with a connection of its own, from a connection string.
tagged = cs & "pqopt={application_name=ado_cmd};"
Set cmd = CreateObject("ADODB.Command")
cmd.ActiveConnection = tagged
cmd.CommandText = "GetICMaxNum"
cmd.CommandType = adCmdStoredProc
cmd.Parameters.Append cmd.CreateParameter("@TableName", adVarChar, adParamInput, 50, "sessions")
cmd.Parameters.Append cmd.CreateParameter("@FInterID", adInteger, adParamOutput, 0)
cmd.Execute , , -1
Check cmd.Parameters(1).Value > 0, "a number from the command"
CheckEqual Sessions("ado_cmd"), 1, "the command's session"
Set cmd = Nothing
CheckEqual SessionsAfterWait("ado_cmd", 0), 0, "gone after releasing the command"

' A connection: Close ends the session, and so does releasing it open.
Set cn = CreateObject("ADODB.Connection")
cn.Open cs & "pqopt={application_name=ado_cn};"
CheckEqual Sessions("ado_cn"), 1, "the connection's session"
cn.Close
CheckEqual SessionsAfterWait("ado_cn", 0), 0, "gone after Close"
cn.Open
CheckEqual Sessions("ado_cn"), 1, "open again"
Set cn = Nothing
CheckEqual SessionsAfterWait("ado_cn", 0), 0, "gone after releasing the open connection"

' A connection shared by two commands lives until the last one lets go.
Set cn = CreateObject("ADODB.Connection")
cn.Open cs & "pqopt={application_name=ado_shared};"
Set cmd = CreateObject("ADODB.Command")
Set cmd.ActiveConnection = cn
Set cmd2 = CreateObject("ADODB.Command")
Set cmd2.ActiveConnection = cn
Set cn = Nothing
Set cmd = Nothing
CheckEqual Sessions("ado_shared"), 1, "held by the second command"
cmd2.CommandText = "SELECT 1"
Set rs = cmd2.Execute
CheckEqual rs.Fields(0).Value, 1, "still usable"
Set rs = Nothing
Set cmd2 = Nothing
CheckEqual SessionsAfterWait("ado_shared", 0), 0, "gone with the last command"

' A failed open leaves no session behind.
Set cmd = CreateObject("ADODB.Command")
On Error Resume Next
cmd.ActiveConnection = Replace(tagged, "Database=erp", "Database=nosuchdb")
Check Err.Number <> 0, "open of a missing database fails"
Err.Clear
On Error GoTo 0
CheckEqual SessionsAfterWait("ado_cmd", 0), 0, "no session from a failed open"
