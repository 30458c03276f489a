' Shared assertions and helpers of the VBScript tests (scripts/run-vbs
' prepends helpers.vbs, then this file).
Dim gPassed, gFailed
gPassed = 0
gFailed = 0

Sub Check(cond, what)
    If cond Then
        gPassed = gPassed + 1
    Else
        gFailed = gFailed + 1
        WScript.Echo "FAIL: " & what
    End If
End Sub

Function IsNumber(v)
    Dim t
    t = VarType(v)
    IsNumber = (t >= 2 And t <= 6) Or t = 14 Or t = 17
End Function

' Equal values of the same kind: numbers of any width compare by value, other
' values must also have the same type.
Sub CheckEqual(actual, expected, what)
    Dim same
    If IsNumber(actual) And IsNumber(expected) Then
        same = (actual = expected)
    Else
        same = (TypeName(actual) = TypeName(expected))
        If same Then same = (actual = expected)
    End If
    If same Then
        gPassed = gPassed + 1
    Else
        gFailed = gFailed + 1
        WScript.Echo "FAIL: " & what & ": got [" & actual & "] (" & TypeName(actual) & "), expected [" & expected & "] (" & TypeName(expected) & ")"
    End If
End Sub

Sub Summary()
    WScript.Echo gPassed & " passed, " & gFailed & " failed"
    WScript.Quit gFailed
End Sub

' --- the test ERP databases (ado_* and erpdb_* scripts)
Const adInteger = 3, adDouble = 5, adBoolean = 11, adDBTimeStamp = 135, adVarChar = 200
Const adParamInput = 1, adParamOutput = 2, adCmdStoredProc = 4

' A command calling a stored procedure with one input and one output
' parameter, on `conn`: an open Connection, or a connection string (the
' command then opens a connection of its own, as the library's members do).
Function ProcCommand(conn, name, inType, inSize, inValue, outType, outSize)
    Dim c
    Set c = CreateObject("ADODB.Command")
    If IsObject(conn) Then
        Set c.ActiveConnection = conn
    Else
        c.ActiveConnection = conn
    End If
    c.CommandText = name
    c.CommandType = adCmdStoredProc
    c.Parameters.Append c.CreateParameter("@In", inType, adParamInput, inSize, inValue)
    c.Parameters.Append c.CreateParameter("@Out", outType, adParamOutput, outSize)
    Set ProcCommand = c
End Function

' An empty result is at BOF and EOF, and reading a field of it raises 3021.
Sub CheckEmptyResult(cn, what)
    Dim rs, v, n
    Set rs = cn.Execute("SELECT FOperate FROM ICSwitch WHERE FShortCut = 'none'")
    Check rs.EOF And rs.BOF, what & ": an empty result is at BOF and EOF"
    On Error Resume Next
    v = rs("FOperate").Value
    n = Err.Number
    On Error GoTo 0
    CheckEqual n, 3021, what & ": a field of an empty result"
End Sub

' The PostgreSQL server's sessions of an application name, counted through
' the open connection `monitor`.
Function Sessions(monitor, name)
    Dim rs
    Set rs = monitor.Execute("SELECT count(*) FROM pg_stat_activity WHERE application_name = '" & name & "'")
    Sessions = rs(0).Value
End Function

' The same once it is `expected`, or after 6 s (a pool's idle time and the
' server's own delay in ending a process that lost its client).
Function SessionsAfterWait(monitor, name, expected)
    Dim i, n
    For i = 1 To 60
        n = Sessions(monitor, name)
        If n = expected Then Exit For
        monitor.Execute "SELECT pg_sleep(0.1)"
    Next
    SessionsAfterWait = n
End Function

' --- the settings store across processes (tests/com/host)
' The settings document host_processes_test.sh names in HOSTTEST_DOC.
Function HostDocument()
    Dim f
    Set f = CreateObject("VemoFunction.IniFile")
    f.IniFileName = Env("HOSTTEST_DOC")
    Set HostDocument = f
End Function

' A section of the settings of `f`, checked to exist and to hold `count`
' settings; Nothing when it does not exist.
Function CheckedSection(f, name, count)
    Dim d
    Set d = f.GetAllSetToDict(name)
    Check Not (d Is Nothing), "section " & name & " exists"
    If Not (d Is Nothing) Then CheckEqual d.EntryCount, count, "settings in section " & name
    Set CheckedSection = d
End Function
