' The test host's ADO subset against the PostgreSQL test database, called
' late-bound the way the library and the ERP forms call ADO.
Const kDecimal = 14  ' VarType of a Decimal
Dim cs, cn, rs, cmd, p, f, n, d, names, v, first

cs = Env("VEMO_PG_ODBC")
Check Len(cs) > 0, "VEMO_PG_ODBC is set"

' The output of a stored procedure with one input, called on a connection
' of the command's own (ActiveConnection = a connection string), as the
' library runs it.
Function CallProc(connText, name, inType, inSize, inValue, outType, outSize)
    Dim c
    Set c = ProcCommand(connText, name, inType, inSize, inValue, outType, outSize)
    c.Execute , , -1
    CallProc = c.Parameters(1).Value
End Function

' --- open, state, the provider's full connection string, close
Set cn = CreateObject("ADODB.Connection")
CheckEqual cn.State, 0, "a new connection is closed"
cn.Open cs
CheckEqual cn.State, 1, "open after Open"
Check InStr(cn.ConnectionString, "Provider=MSDASQL.1;Extended Properties=""DRIVER={PostgreSQL Unicode};") = 1, "full form names the ODBC provider: " & cn.ConnectionString
Check InStr(1, cn.ConnectionString, "PORT=" & Env("PGPORT"), 1) > 0, "full form keeps the server's port"
On Error Resume Next
cn.Open cs
n = Err.Number
On Error GoTo 0
CheckEqual n, 3705, "Open on an open connection"
cn.Close
CheckEqual cn.State, 0, "closed after Close"
On Error Resume Next
cn.Close
n = Err.Number
Err.Clear
Set rs = cn.Execute("SELECT 1")
d = Err.Number
On Error GoTo 0
CheckEqual n, 3704, "Close on a closed connection"
CheckEqual d, 3709, "Execute on a closed connection"
' The reported form opens again, as the library's private connections do.
cn.ConnectionString = cn.ConnectionString
cn.Open
CheckEqual cn.State, 1, "reopened from its own ConnectionString"

' --- Execute: forward-only rows, fields by name without regard to case, by index
Set rs = cn.Execute("SELECT FShortCut, FOperate, FID FROM ICSwitch WHERE FShortCut = 'AB'", , -1)
CheckEqual rs.State, 1, "recordset open"
CheckEqual rs.RecordCount, -1, "RecordCount of an Execute result"
Check Not rs.EOF And Not rs.BOF, "first row current"
CheckEqual rs.Fields.Count, 3, "three fields"
CheckEqual rs.Fields("FOperate").Value, 3, "FOperate by name"
CheckEqual VarType(rs.Fields("FOperate").Value), vbLong, "integer as Long"
Check rs("fid").Value = 12, "FID through the default members, lower case"
CheckEqual rs.Fields(0).Value, "AB", "field by index"
CheckEqual LCase(rs.Fields(2).Name), "fid", "field name"
CheckEqual rs.Fields("FShortCut").Type, 202, "text field type"
CheckEqual rs.Fields("FOperate").Type, adInteger, "integer field type"
names = ""
For Each f In rs.Fields
    names = names & LCase(f.Name) & ","
Next
CheckEqual names, "fshortcut,foperate,fid,", "For Each over Fields"
Set f = rs.Fields("FID")
rs.MoveNext
Check rs.EOF, "one row only"
On Error Resume Next
v = f.Value
n = Err.Number
d = Err.Description
Err.Clear
rs.MoveNext
Check Err.Number = 3021, "MoveNext at EOF raises 3021, got " & Err.Number
Err.Clear
v = rs.Fields("NoSuchField").Value
Check Err.Number = 3265, "unknown field raises 3265, got " & Err.Number
On Error GoTo 0
CheckEqual n, 3021, "a held Field past the last row"
Check InStr(d, "either BOF or EOF is True") > 0 Or InStr(d, "Either BOF or EOF is True") > 0, "ADO's text: " & d
rs.Close
CheckEqual rs.State, 0, "recordset closed"
On Error Resume Next
v = rs.EOF
n = Err.Number
On Error GoTo 0
CheckEqual n, 3704, "a closed recordset refuses EOF"

' --- no rows: at EOF, field access raises
CheckEmptyResult cn, "PostgreSQL"
CheckEqual cn.Execute("SELECT 1 WHERE false").RecordCount, -1, "RecordCount of an empty result"

' --- value types: Null, double, timestamp, Boolean; several rows in order
Set rs = cn.Execute("SELECT FOperate, FID FROM ICSwitch WHERE FShortCut IN ('NULLOP', 'NULLID') ORDER BY FID")
Check IsNull(rs("FOperate").Value), "SQL NULL as Null"
CheckEqual rs("FID").Value, 20, "first row"
rs.MoveNext
CheckEqual rs("FOperate").Value, 5, "second row"
Check IsNull(rs("FID").Value), "NULL in the second row"
Set rs = cn.Execute("SELECT FCoefficient FROM vwICUnitCoe WHERE FItemID = 2")
CheckEqual rs(0).Value, 0.5, "coefficient through the view"
CheckEqual VarType(rs(0).Value), kDecimal, "numeric as Decimal"
CheckEqual rs(0).Type, 131, "numeric field type adNumeric"
Set rs = cn.Execute("SELECT CAST(0.5 AS double precision) AS d, CAST('12345678901234567890.123456789' AS numeric) AS big, " & _
    "CAST('1e40' AS numeric) AS huge, CAST(NULL AS numeric(8,2)) AS nothing")
CheckEqual VarType(rs("d").Value), vbDouble, "floating as Double"
CheckEqual rs("d").Type, adDouble, "floating field type"
CheckEqual VarType(rs("big").Value), kDecimal, "28 digits stay a Decimal"
CheckEqual CStr(rs("big").Value), "12345678901234567890.123456789", "exact to the last digit"
CheckEqual VarType(rs("huge").Value), vbDouble, "beyond a Decimal's range: the nearest Double"
Check IsNull(rs("nothing").Value), "a Null numeric"
Set rs = cn.Execute("SELECT CAST('2027-01-15 11:59:58.750' AS timestamp) AS t, CAST(12.25 AS numeric(8,2)) AS num")
CheckEqual VarType(rs("t").Value), vbDate, "timestamp as Date"
CheckEqual rs("t").Type, adDBTimeStamp, "timestamp field type"
Check Abs(rs("t").Value - CDate("2027-01-15 11:59:58") - 0.75 / 86400) < 0.0001 / 86400, "milliseconds kept: " & rs("t").Value
CheckEqual rs("num").Value, 12.25, "numeric value"
cn.Close
cn.Open cs & "BoolsAsChar=0;"
Set rs = cn.Execute("SELECT true AS yes, false AS no")
CheckEqual rs("yes").Value, True, "true as Boolean"
CheckEqual rs("no").Value, False, "false as Boolean"
CheckEqual rs("yes").Type, adBoolean, "Boolean field type"
cn.Close
cn.Open cs

' --- statements without rows, RecordsAffected, parameters in text commands
Set rs = cn.Execute("CREATE TEMP TABLE t_ado (k integer, s varchar(20))")
CheckEqual rs.State, 0, "no result set: a closed recordset"
cn.Execute "INSERT INTO t_ado VALUES (1, 'a'), (2, 'b'), (3, 'c')", n
CheckEqual n, 3, "RecordsAffected of an INSERT"
cn.Execute "UPDATE t_ado SET s = 'z' WHERE k >= 2", n
CheckEqual n, 2, "RecordsAffected of an UPDATE"
Set cmd = CreateObject("ADODB.Command")
Set cmd.ActiveConnection = cn
cmd.CommandText = "SELECT FOperate FROM ICSwitch WHERE FShortCut = ?"
cmd.Parameters.Append cmd.CreateParameter("key", adVarChar, adParamInput, 20, "O'K")
Set rs = cmd.Execute
CheckEqual rs("FOperate").Value, 9, "a quote in a parameter is data"
cmd.Parameters("key").Value = "AB"
Set rs = cmd.Execute
CheckEqual rs("FOperate").Value, 3, "the same command with a new value"
Set rs = cmd.Execute(, Array("DUP"))
CheckEqual rs(0).Value, 1, "value from Execute's parameter array"
CheckEqual cmd.ActiveConnection.State, 1, "ActiveConnection is the connection object"
Set cmd.ActiveConnection = Nothing
On Error Resume Next
Set rs = cmd.Execute
n = Err.Number
On Error GoTo 0
CheckEqual n, 3709, "a command without connection"
Set cmd = CreateObject("ADODB.Command")
cmd.ActiveConnection = cn
cmd.CommandText = "SELECT CAST(? AS timestamp) AS t, CAST(? AS integer) + 1 AS i"
cmd.Parameters.Append cmd.CreateParameter("t", adDBTimeStamp, adParamInput, 0, CDate("1899-12-29 06:00:00"))
cmd.Parameters.Append cmd.CreateParameter("i", adInteger, adParamInput, 0, 41)
Set rs = cmd.Execute
CheckEqual rs("t").Value, CDate("1899-12-29 06:00:00"), "a date before 1899-12-30 travels both ways"
CheckEqual rs("i").Value, 42, "integer parameter"
cmd.Parameters("i").Value = "not a number"
On Error Resume Next
Set rs = cmd.Execute
n = Err.Number
On Error GoTo 0
CheckEqual n, 3421, "a value that is not of the parameter's type"

' --- the Parameters collection
Set cmd = CreateObject("ADODB.Command")
Set p = cmd.CreateParameter("@FInterID", adInteger, adParamOutput, 0)
CheckEqual p.Name & "|" & p.Type & "|" & p.Direction & "|" & p.Size, "@FInterID|3|2|0", "CreateParameter's arguments"
Check IsEmpty(p.Value), "an output parameter starts Empty"
cmd.Parameters.Append p
CheckEqual cmd.Parameters.Count, 1, "Count"
CheckEqual cmd.Parameters("@finterid").Name, "@FInterID", "Item by name without regard to case"
CheckEqual cmd.Parameters.Item(0).Name, "@FInterID", "Item by index"
On Error Resume Next
cmd.Parameters.Append p
n = Err.Number
Err.Clear
cmd.Parameters.Append cmd.CreateParameter("@s", adVarChar, adParamInput, 0, "x")
d = Err.Number
Err.Clear
v = cmd.Parameters("@nosuch").Name
first = Err.Number
Err.Clear
Set p = cmd.CreateParameter("@x", 9999)
v = Err.Number
On Error GoTo 0
CheckEqual n, 3367, "the same parameter twice"
CheckEqual d, 3708, "a text parameter without size"
CheckEqual first, 3265, "unknown parameter name"
CheckEqual v, 3001, "an unknown data type"

' --- stored procedures through ActiveConnection = connection string
first = CallProc(cs, "GetICMaxNum", adVarChar, 50, "ICStockBill", adInteger, 0)
CheckEqual VarType(first), vbLong, "@FInterID as Long"
Check first > 1000, "numbers continue the seeded counter: " & first
CheckEqual CallProc(cs, "GetICMaxNum", adVarChar, 50, "icstockbill", adInteger, 0), first + 1, "next number"
v = CallProc(cs, "GetICBillNo", adInteger, 50, 5, adVarChar, 30)
Check Left(v, 3) = "AGT" And Len(v) = 9 And IsNumeric(Mid(v, 4)), "bill number of type 5: " & v
v = CallProc(cn.ConnectionString, "GetICBillNo", adInteger, 50, 6, adVarChar, 30)
Check Left(v, 3) = "B6-" And Len(v) = 9, "type 6 arrives unchanged, through the full form: " & v
CheckEqual CallProc(cs, "sp_PeriodFromDate", adDBTimeStamp, 0, CDate("2027-01-15 11:59:59"), adInteger, 0), 1, "period before noon"
CheckEqual CallProc(cs, "sp_PeriodFromDate", adDBTimeStamp, 0, CDate("2027-01-15 12:00:00"), adInteger, 0), 2, "period from noon"
CheckEqual CallProc(cs, "sp_PeriodFromDate", adDBTimeStamp, 0, CDate("2090-04-10"), adInteger, 0), 40000, "period out of 16-bit range comes back whole"
Check IsNull(CallProc(cs, "GetICMaxNum", adVarChar, 50, "nulltable", adInteger, 0)), "Null @FInterID"
Check IsNull(CallProc(cs, "GetICBillNo", adInteger, 50, 99, adVarChar, 30)), "Null @BilliD"
Check IsNull(CallProc(cs, "sp_PeriodFromDate", adDBTimeStamp, 0, CDate("2090-01-15"), adInteger, 0)), "Null @Period"

' --- failures carry the server's or driver's text
On Error Resume Next
v = CallProc(cs, "GetICBillNo", adInteger, 50, -1, adVarChar, 30)
n = Err.Number
d = Err.Description
On Error GoTo 0
Check n <> 0, "a procedure that raises"
Check InStr(d, "no such bill type") > 0, "the procedure's message: " & d
On Error Resume Next
v = CallProc(cs, "GetICBillNo; DROP TABLE ICSwitch", adInteger, 50, 1, adVarChar, 30)
n = Err.Number
On Error GoTo 0
Check n <> 0, "a procedure name that is no name is refused"
Set rs = cn.Execute("SELECT count(*) FROM ICSwitch")
CheckEqual rs(0).Value, 9, "ICSwitch intact"
Set cn = CreateObject("ADODB.Connection")
On Error Resume Next
cn.Open Replace(cs, "Database=erp", "Database=nosuchdb")
n = Err.Number
d = Err.Description
On Error GoTo 0
CheckEqual n, &H80004005, "unopenable connection string"
Check InStr(d, "nosuchdb") > 0, "the driver's diagnostic: " & d
CheckEqual cn.State, 0, "still closed"
On Error Resume Next
Set cmd = CreateObject("ADODB.Command")
cmd.ActiveConnection = "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=1;Database=erp;Uid=postgres;"
n = Err.Number
d = Err.Description
Err.Clear
cn.Open "Driver={No Such Driver};"
first = Err.Description
Err.Clear
cn.Open "Provider=NoSuch.Provider;Data Source=x"
v = Err.Number
On Error GoTo 0
CheckEqual n, &H80004005, "ActiveConnection = an unreachable server"
Check Len(d) > 0 And InStr(1, d, "connect", 1) > 0, "the driver's diagnostic: " & d
Check InStr(first, "No Such Driver") > 0 Or InStr(1, first, "not found", 1) > 0, "driver manager's diagnostic: " & first
CheckEqual v, 3706, "unknown provider"

' --- cursors: a server cursor (the default) does not know its count, a
' client cursor does, an empty one included
Set cn = CreateObject("ADODB.Connection")
CheckEqual cn.CursorLocation, 2, "adUseServer by default"
cn.CursorLocation = 3
cn.Open cs
Set rs = cn.Execute("SELECT FShortCut FROM ICSwitch WHERE FShortCut IN ('AB', 'DUP')")
CheckEqual rs.CursorLocation, 3, "the recordset's cursor is the connection's"
CheckEqual rs.RecordCount, 3, "a client cursor counts its rows"
CheckEqual cn.Execute("SELECT 1 WHERE false").RecordCount, 0, "and an empty result"
Set cmd = CreateObject("ADODB.Command")
Set cmd.ActiveConnection = cn
cmd.CommandText = "SELECT FShortCut FROM ICSwitch"
CheckEqual cmd.Execute.RecordCount, 9, "a command on the connection too"
On Error Resume Next
cn.CursorLocation = 7
n = Err.Number
On Error GoTo 0
CheckEqual n, 3001, "no such cursor location"
cn.Close

' --- parameter sizes: a value longer than its declared size is refused
Set cmd = CreateObject("ADODB.Command")
cmd.ActiveConnection = cs
cmd.CommandText = "SELECT CAST(? AS varchar) AS v"
cmd.Parameters.Append cmd.CreateParameter("v", adVarChar, adParamInput, 5, "12345")
Set rs = cmd.Execute
CheckEqual rs(0).Value, "12345", "a value of the declared size"
cmd.Parameters(0).Value = "123456"
On Error Resume Next
Set rs = cmd.Execute
n = Err.Number
On Error GoTo 0
CheckEqual n, 3421, "one character more"
On Error Resume Next
v = CallProc(cs, "GetICMaxNum", adVarChar, 5, "icstockbill", adInteger, 0)
n = Err.Number
On Error GoTo 0
CheckEqual n, 3421, "the same for a procedure's input"

' --- time-outs: ADO's defaults, and a statement blocked by a row lock that
' another session holds ends after CommandTimeout
Set cn = CreateObject("ADODB.Connection")
CheckEqual cn.ConnectionTimeout, 15, "ConnectionTimeout 15 s by default"
CheckEqual cn.CommandTimeout, 30, "CommandTimeout 30 s by default"
CheckEqual CreateObject("ADODB.Command").CommandTimeout, 30, "a command's too"
cn.Open cs
On Error Resume Next
cn.ConnectionTimeout = 5
n = Err.Number
On Error GoTo 0
CheckEqual n, 3705, "ConnectionTimeout of an open connection is fixed"
Dim holder, t0
Set holder = CreateObject("ADODB.Connection")
holder.Open cs
holder.Execute "BEGIN"
holder.Execute "SELECT FLastNo FROM ICBillNo WHERE FBillType = 3 FOR UPDATE"
Set cmd = ProcCommand(cn, "GetICBillNo", adInteger, 0, 3, adVarChar, 30)
cmd.CommandTimeout = 2
t0 = Timer
On Error Resume Next
cmd.Execute , , -1
n = Err.Number
d = Err.Description
On Error GoTo 0
t0 = Timer - t0
Check n <> 0, "the blocked procedure fails"
Check InStr(1, d, "timeout", 1) > 0 Or InStr(1, d, "cancel", 1) > 0, "with the driver's time-out text: " & d
Check t0 >= 1.5 And t0 < 6, "after about CommandTimeout: " & t0 & " s"
cn.CommandTimeout = 1
t0 = Timer
On Error Resume Next
cn.Execute "UPDATE ICBillNo SET FLastNo = FLastNo WHERE FBillType = 3"
n = Err.Number
On Error GoTo 0
t0 = Timer - t0
Check n <> 0 And t0 < 5, "Connection.Execute honours its CommandTimeout: " & t0 & " s"
holder.Execute "ROLLBACK"
cmd.Execute , , -1
Check Left(cmd.Parameters(1).Value, 3) = "TRF", "the same command once the lock is gone"
holder.Close
cn.Close

' --- credentials: a role that must give its password; an open connection's
' ConnectionString leaves it out unless Persist Security Info is true
Dim clerk
clerk = Env("VEMO_PG_CLERK_ODBC")
Check InStr(clerk, "clerk;pass") > 0, "VEMO_PG_CLERK_ODBC carries the password"
Set cn = CreateObject("ADODB.Connection")
cn.Open clerk
CheckEqual cn.Execute("SELECT current_user")(0).Value, "erp_clerk", "logged in as the clerk"
Check InStr(cn.ConnectionString, "clerk;pass") = 0 And InStr(1, cn.ConnectionString, "PWD=", 1) = 0, _
    "no password in the open connection's text: " & cn.ConnectionString
Check InStr(1, cn.ConnectionString, "UID=erp_clerk", 1) > 0, "the user stays"
cn.Close
cn.Open
CheckEqual cn.State, 1, "Open after Close still knows the password"
cn.Close
cn.ConnectionString = cn.ConnectionString
On Error Resume Next
cn.Open
n = Err.Number
d = Err.Description
On Error GoTo 0
CheckEqual n, &H80004005, "the shown text alone cannot log in"
Check InStr(1, d, "password", 1) > 0, "the server's reason: " & d
cn.Open "Persist Security Info=True;" & clerk
Check InStr(1, cn.ConnectionString, "PWD=clerk", 1) > 0, "Persist Security Info=True keeps it (as the driver writes it)"
Set cmd = CreateObject("ADODB.Command")
cmd.ActiveConnection = cn.ConnectionString
cmd.CommandText = "SELECT current_user"
Set rs = cmd.Execute
CheckEqual rs(0).Value, "erp_clerk", "and that text logs in"
cn.Close
On Error Resume Next
cn.Open Replace(clerk, "clerk;pass", "wrong")
n = Err.Number
On Error GoTo 0
CheckEqual n, &H80004005, "a wrong password"
