' The ERP database members of VemoFuns against the PostgreSQL test database:
' numbering, switches, stock, periods, Access files; neutral results for
' every failure, statements that arguments cannot change, and the caller's
' connection left as it was.
Dim f, cs, cn, closed, badCn, n, m, s, r, a, b, c
Set f = CreateObject("VemoFunction.VemoFuns")
cs = Env("VEMO_PG_ODBC")
Check Len(cs) > 0, "VEMO_PG_ODBC is set"
Set cn = CreateObject("ADODB.Connection")
cn.Open cs
Set closed = CreateObject("ADODB.Connection")
closed.ConnectionString = cs
Set badCn = CreateObject("ADODB.Connection")
badCn.ConnectionString = "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=1;Database=erp;Uid=nobody;"

' --- bill numbering
n = f.GetICMaxNum("ICStockBill", cn)
m = f.GetICMaxNum("ICStockBill", cn)
Check n > 1000, "internal number from the counter: " & n
CheckEqual m, n + 1, "the next call gets the next number"
CheckEqual VarType(n), vbLong, "internal numbers are Long"
CheckEqual f.GetICMaxNum("NullTable", cn), -1, "a Null output gives -1"
CheckEqual f.GetICMaxNum("ICStockBill", badCn), -1, "an unopenable connection gives -1"
CheckEqual f.GetICMaxNum("ICStockBill", Nothing), -1, "Nothing gives -1"
Check f.GetICMaxNum("ICStockBill", closed) > m, "a closed connection with a valid text works"
CheckEqual closed.State, 0, "the caller's closed connection stays closed"
CheckEqual cn.State, 1, "the caller's open connection stays open"

s = f.GetICBillNo(0, cn)
Check Left(s, 2) = "IN" And Len(s) > 2, "bill number of the in-stock kind: " & s
Check Left(f.GetICBillNo(8, cn), 3) = "PUR", "bill kind 8"
Check Left(f.GetICBillNo(6, cn), 3) = "B6-", "kind 6 has no member and is sent unchanged"
CheckEqual f.GetICBillNo(99, cn), "", "a Null bill number gives the empty text"
CheckEqual f.GetICBillNo(1, badCn), "", "an unopenable connection gives the empty text"
CheckEqual f.GetICBillNo(1, Nothing), "", "Nothing gives the empty text"

' --- operation switches
CheckEqual f.GetFOperate("AB", cn), 3, "the switch of a key"
CheckEqual f.GetFOperate("  AB  ", cn), 3, "the key is trimmed"
CheckEqual f.GetFOperate("", cn), -1, "an empty key"
CheckEqual f.GetFOperate("   ", cn), -1, "a blank key"
CheckEqual f.GetFOperate("NOPE", cn), -1, "a key without a row"
CheckEqual f.GetFOperate("NULLOP", cn), -1, "a Null switch"
CheckEqual f.GetFOperate("DUP", cn), 1, "only the first row of a key counts"
CheckEqual f.GetFOperate("O'K", cn), 9, "a quote in a key is data"
CheckEqual f.GetFOperate("x' OR '1'='1", cn), -1, "an injected condition finds nothing"
CheckEqual f.GetFOperate("'; DROP TABLE ICSwitch; --", cn), -1, "an injected statement is data"
CheckEqual f.GetFOperate("AB", cn), 3, "ICSwitch is still there"
CheckEqual f.GetFOperate("AB", badCn), -1, "an unopenable connection"
CheckEqual f.GetFOperate("AB", Nothing), -1, "Nothing"
CheckEqual f.GetFOperate("AB", closed), 3, "a closed connection with a valid text"

s = "keep"
CheckEqual f.GetFOperateNew("AB", cn, s), 3, "GetFOperateNew gives the switch"
CheckEqual s, "12", "and the row's FID as text"
s = "keep"
CheckEqual f.GetFOperateNew("NOPE", cn, s), -1, "no row"
CheckEqual s, "keep", "sReturn unchanged without a row"
CheckEqual f.GetFOperateNew("NULLID", cn, s), -1, "a Null FID fails the call"
CheckEqual s, "keep", "sReturn unchanged for a Null FID"
CheckEqual f.GetFOperateNew("x' OR '1'='1", cn, s), -1, "injection through GetFOperateNew"
CheckEqual s, "keep", "sReturn unchanged after the injection attempt"

' sReturn in a variable of any kind: a hit leaves the FID there as a String;
' no row and a Null FID leave the variable's value and kind as they were.
Sub CheckFidInto(start, key, result, fid)
    Dim v, what
    If Not IsEmpty(start) Then v = start
    what = "GetFOperateNew(""" & key & """) into a variable holding " & TypeName(start)
    CheckEqual f.GetFOperateNew(key, cn, v), result, what
    If IsEmpty(fid) Then fid = start
    CheckEqual TypeName(v), TypeName(fid), what & ": the variable's kind"
    If Not IsNull(fid) Then CheckEqual v, fid, what & ": the variable's value"
End Sub
For Each a In Array(Empty, 0, Null, "x", True)
    CheckFidInto a, "AB", 3, "12"
    CheckFidInto a, "NOPE", -1, Empty
    CheckFidInto a, "NULLID", -1, Empty
Next

' --- stock on hand, on the caller's own open connection
CheckEqual f.GetStockNumberByID("01", "1", "10", "1", cn), 10, "coefficient 2 x quantity 5"
CheckEqual f.GetStockNumberByID("01", "1", "11", "2", cn), 3.5, "coefficient 0.5 x quantity 7"
CheckEqual f.GetStockNumberByID("01", "1", "10", "77", cn), 0, "no unit row"
CheckEqual f.GetStockNumberByID("01", "9", "10", "1", cn), 0, "no inventory row"
CheckEqual f.GetStockNumberByID("01", "1", "13", "1", cn), 0, "a Null quantity"
CheckEqual f.GetStockNumberByID("01", "1", "10", "3", cn), 0, "a Null coefficient"
' Values that are not numbers, as distinct from Null: temporary stand-ins of
' the view and the table (searched before the database's own) hold text.
Dim texts, tc, stock
Set texts = CreateObject("ADODB.Connection")
texts.Open cs
texts.Execute "CREATE TEMP VIEW vwICUnitCoe AS SELECT * FROM (VALUES (1, 'two'), (2, '2')) AS u(FItemID, FCoefficient)"
texts.Execute "CREATE TEMP TABLE ICInventory AS SELECT * FROM (VALUES ('01', 1, 10, '5'), ('01', 1, 11, 'many')) AS i(FBrNo, FStockID, FItemID, FQty)"
CheckEqual VarType(texts.Execute("SELECT FCoefficient FROM vwICUnitCoe")("FCoefficient").Value), vbString, _
    "the stand-in's coefficient is text"
' Each: unit, item, result, what the case is.
stock = Array(Array("2", "10", 10, "a coefficient and a quantity in text that converts"), _
    Array("1", "10", 0, "a coefficient that is no number"), _
    Array("2", "11", 0, "a quantity that is no number"))
For Each tc In stock
    CheckEqual f.GetStockNumberByID("01", "1", tc(1), tc(0), texts), tc(2), tc(3)
Next
texts.Execute "DROP VIEW vwICUnitCoe"
texts.Execute "DROP TABLE ICInventory"
texts.Close
CheckEqual f.GetStockNumberByID("01", "1", "12", "4", cn), 4, "the first of two inventory rows"
CheckEqual f.GetStockNumberByID("01", " 1 ", " 10", "1 ", cn), 10, "ids with blanks around them"
CheckEqual f.GetStockNumberByID("01", "1", "10 OR 1=1", "1", cn), 0, "an id with a condition is refused"
CheckEqual f.GetStockNumberByID("01", "1", "1; DELETE FROM ICInventory", "1", cn), 0, "an id with a statement is refused"
CheckEqual f.GetStockNumberByID("01' OR '1'='1", "1", "10", "1", cn), 0, "a quoted condition in the branch is data"
CheckEqual f.GetStockNumberByID("01", "1", "10", "1", cn), 10, "ICInventory is unchanged"
CheckEqual f.GetStockNumberByID("01", "1", "10", "1", closed), 0, "a closed connection gives 0"
CheckEqual f.GetStockNumberByID("01", "1", "10", "1", Nothing), 0, "Nothing gives 0"
CheckEqual closed.State, 0, "the closed connection was not opened"

' --- accounting period
CheckEqual f.PeriodFromDate(DateSerial(2026, 3, 15), cn), 3, "the period of a date"
CheckEqual VarType(f.PeriodFromDate(DateSerial(2026, 3, 15), cn)), vbInteger, "periods are Integer"
CheckEqual f.PeriodFromDate(DateSerial(2027, 1, 15) + TimeSerial(11, 0, 0), cn), 1, "before noon of the split day"
CheckEqual f.PeriodFromDate(DateSerial(2027, 1, 15) + TimeSerial(13, 0, 0), cn), 2, "the time of day travels along"
CheckEqual f.PeriodFromDate(DateSerial(2090, 2, 10), cn), 32767, "the largest 16-bit period"
CheckEqual f.PeriodFromDate(DateSerial(2090, 4, 10), cn), -1, "40000 is out of range"
CheckEqual f.PeriodFromDate(DateSerial(2090, 3, 10), cn), -1, "32768 is out of range"
CheckEqual f.PeriodFromDate(DateSerial(2090, 1, 10), cn), -1, "a Null period"
CheckEqual f.PeriodFromDate(DateSerial(1990, 1, 1), cn), -1, "a date in no period"
CheckEqual f.PeriodFromDate(Now, badCn), -1, "an unopenable connection"
CheckEqual f.PeriodFromDate(Now, Nothing), -1, "Nothing"

' --- Access files
a = f.OpenAccessDSN(Env("VEMO_JET3_FILE"))
CheckEqual VarType(a), vbString, "string mode by default"
Check InStr(a, "Microsoft.Jet.OLEDB.3.51") > 0, "a Jet 3 file opens with 3.51: " & a
b = f.OpenAccessDSN(Env("VEMO_JET4_FILE"), True)
Check InStr(b, "Microsoft.Jet.OLEDB.4.0") > 0, "a Jet 4 file needs 4.0: " & b
Set c = f.OpenAccessDSN(Env("VEMO_JET4_FILE"), False)
CheckEqual c.State, 1, "object mode hands out the open connection"
c.Close
Check IsEmpty(f.OpenAccessDSN(Env("VEMO_MISSING_FILE"))), "a missing file: Empty"
Check IsEmpty(f.OpenAccessDSN(Env("VEMO_MISSING_FILE"), False)), "a missing file in object mode: Empty"
Check IsEmpty(f.OpenAccessDSN(Env("VEMO_NOTJET_FILE"))), "not a database: Empty"
Check IsEmpty(f.OpenAccessDSN("")), "an empty path"
' A quote is part of a legitimate path (O'Brien): the value is quoted.
Dim fso, quoted
Set fso = CreateObject("Scripting.FileSystemObject")
quoted = fso.GetParentFolderName(Env("VEMO_JET4_FILE")) & "\O'Brien stock.mdb"
fso.CopyFile Env("VEMO_JET4_FILE"), quoted, True
Set c = f.OpenAccessDSN(quoted, False)
CheckEqual c.State, 1, "a path with a quote opens"
c.Close
Set c = Nothing
fso.DeleteFile quoted

' --- the caller's open connection of a role with a password: its
' ConnectionString no longer holds the password, so the private connection
' of the procedures and switches cannot log in and the neutral result
' follows; the stock statements run on the caller's own connection and
' work. A closed connection still holds the text as given, password included.
Dim clerk, clerkClosed, t0
Set clerk = CreateObject("ADODB.Connection")
clerk.Open Env("VEMO_PG_CLERK_ODBC")
CheckEqual f.GetICMaxNum("ICStockBill", clerk), -1, "GetICMaxNum: the private connection cannot log in"
CheckEqual f.GetICBillNo(1, clerk), "", "GetICBillNo: the same"
CheckEqual f.GetFOperate("AB", clerk), -1, "GetFOperate: the same"
s = "keep"
CheckEqual f.GetFOperateNew("AB", clerk, s), -1, "GetFOperateNew: the same"
CheckEqual s, "keep", "sReturn unchanged"
CheckEqual f.PeriodFromDate(DateSerial(2026, 3, 15), clerk), -1, "PeriodFromDate: the same"
CheckEqual f.GetStockNumberByID("01", "1", "11", "2", clerk), 3.5, "GetStockNumberByID uses the open connection itself"
CheckEqual clerk.State, 1, "the clerk's connection stays open"
Set clerkClosed = CreateObject("ADODB.Connection")
clerkClosed.ConnectionString = Env("VEMO_PG_CLERK_ODBC")
CheckEqual f.GetFOperate("AB", clerkClosed), 3, "a closed connection's text keeps the password"
Check Left(f.GetICBillNo(1, clerkClosed), 3) = "OUT", "and numbers bills"
clerk.Close

' --- a numbering procedure blocked by a row lock that another session
' holds on the counter row: the private command gives up after ADO's
' default CommandTimeout of 30 s, with the neutral result, and the next call
' after the lock is gone works again.
Dim holder
Set holder = CreateObject("ADODB.Connection")
holder.Open cs
holder.Execute "BEGIN"
holder.Execute "SELECT FLastNo FROM ICBillNo WHERE FBillType = 4 FOR UPDATE"
t0 = Timer
s = f.GetICBillNo(4, cn)
t0 = Timer - t0
CheckEqual s, "", "a blocked GetICBillNo gives the empty text"
Check t0 >= 25 And t0 < 45, "after the 30 s command time-out: " & t0 & " s"
holder.Execute "ROLLBACK"
holder.Close
Check Left(f.GetICBillNo(4, cn), 3) = "CHK", "numbers again once the lock is gone"


' --- what the members send to ADO: the test host's record of every Open,
' Execute, ActiveConnection, CreateParameter, Append, Close and final release,
' in call order (host/ado/call_record.h), for each member and argument.
Dim rec, pcs, calls, cl, semi, files, fl
Set rec = CreateObject("AdoHost.CallRecord")
pcs = cn.ConnectionString

' The lines of a record as its Text gives them.
Function Lines(a)
    Dim i
    Lines = ""
    For i = 0 To UBound(a)
        If i > 0 Then Lines = Lines & vbLf
        Lines = Lines & a(i)
    Next
End Function

' A stored procedure over the private connection opened from `text`, with
' its two parameters as "name|type|direction|size|value": each created and
' appended in turn, run as a stored procedure with options -1, and the
' recordset, the command and with it the connection released.
Function ProcedureCall(text, procedure, p1, p2)
    ProcedureCall = Lines(Array("Command1.ActiveConnection|" & text & "|=Connection1", _
        "Command1.CreateParameter|" & p1, "Command1.Parameters.Append|" & p1, _
        "Command1.CreateParameter|" & p2, "Command1.Parameters.Append|" & p2, _
        "Command1.Execute|" & procedure & "|4|-1|=Recordset1", _
        "Recordset1.Release|open", "Command1.Release", "Connection1.Release|open"))
End Function

' A switch statement over the private connection opened from `text` with an
' empty user and password and options -1; a row found is closed before its
' recordset and connection are released, a failed read is only released.
Function SwitchCall(text, statement, found)
    Dim a
    a = Array("Connection1.Open|" & text & "|||-1", "Connection1.Execute|" & statement & "|-1|=Recordset1", _
        "Recordset1.Close", "Recordset1.Release|closed", "Connection1.Release|open")
    If Not found Then a = Array(a(0), a(1), "Recordset1.Release|open", a(4))
    SwitchCall = Lines(a)
End Function

' The connection argument of a case: its own, else the caller's.
Function OrCaller(args, i)
    If UBound(args) >= i Then Set OrCaller = args(i) Else Set OrCaller = cn
End Function

' An Access file's connection (number n) for a provider version.
Function JetOpen(n, version, path, outcome)
    JetOpen = "Connection" & n & ".Open|PROVIDER=Microsoft.Jet.OLEDB." & version & ";Data Source=""" & path & """;|||-1" & outcome
End Function

' Each case: the member, its arguments, the record it leaves. The caller's
' connection (Connection1 where it appears) is only asked for its text,
' except by GetStockNumberByID, which runs its statements on it.
Const kSel = "SELECT FOperate FROM ICSwitch WHERE FShortCut='"
Const kSelNew = "SELECT FOperate,FID FROM ICSwitch WHERE FShortCut='"
Const kUnit = "select * from vwICUnitCoe Where FItemID="
Const kStock = "select * from ICInventory Where FBrNo='"
calls = Array( _
    Array("GetICMaxNum", Array("ICStockBill"), ProcedureCall(pcs, "GetICMaxNum", _
        "@TableName|200|1|50|8:ICStockBill", "@FInterID|3|2|0|none")), _
    Array("GetICMaxNum", Array("NullTable"), ProcedureCall(pcs, "GetICMaxNum", _
        "@TableName|200|1|50|8:NullTable", "@FInterID|3|2|0|none")), _
    Array("GetICBillNo", Array(6), ProcedureCall(pcs, "GetICBillNo", "@BillType|3|1|50|3:6", "@BilliD|200|2|30|none")), _
    Array("PeriodFromDate", Array(DateSerial(2026, 3, 15) + TimeSerial(13, 30, 5)), ProcedureCall(pcs, "sp_PeriodFromDate", _
        "@Date|135|1|0|7:2026-03-15 13:30:05", "@Period|3|2|0|none")), _
    Array("GetICMaxNum", Array("ICStockBill", badCn), Lines(Array( _
        "Command1.ActiveConnection|" & badCn.ConnectionString & "|failed", "Connection1.Release|closed", "Command1.Release"))), _
    Array("GetFOperate", Array("  AB  "), SwitchCall(pcs, kSel & "AB'", True)), _
    Array("GetFOperate", Array(" AB" & vbTab & " "), SwitchCall(pcs, kSel & "AB" & vbTab & "'", False)), _
    Array("GetFOperate", Array("O'K"), SwitchCall(pcs, kSel & "O''K'", True)), _
    Array("GetFOperate", Array(""), ""), _
    Array("GetFOperate", Array("   "), ""), _
    Array("GetFOperate", Array(Null), ""), _
    Array("GetFOperate", Array("AB", badCn), Lines(Array( _
        "Connection1.Open|" & badCn.ConnectionString & "|||-1|failed", "Connection1.Release|closed"))), _
    Array("GetFOperateNew", Array(" AB "), SwitchCall(pcs, kSelNew & "AB'", True)), _
    Array("GetFOperateNew", Array("NULLID"), SwitchCall(pcs, kSelNew & "NULLID'", False)), _
    Array("GetFOperateNew", Array("  "), ""), _
    Array("GetStockNumberByID", Array("01", " 1 ", "10", "1"), Lines(Array( _
        "Connection1.Execute|" & kUnit & "1|-1|=Recordset1", "Recordset1.Release|open", _
        "Connection1.Execute|" & kStock & "01' AND FStockID= 1  AND FItemID=10|-1|=Recordset2", "Recordset2.Release|open"))), _
    Array("GetStockNumberByID", Array("0'1", "1", "10", "77"), Lines(Array( _
        "Connection1.Execute|" & kUnit & "77|-1|=Recordset1", "Recordset1.Release|open", _
        "Connection1.Execute|" & kStock & "0''1' AND FStockID=1 AND FItemID=10|-1|=Recordset2", "Recordset2.Release|open"))), _
    Array("GetStockNumberByID", Array("01", "1", "10 OR 1=1", "1"), ""), _
    Array("OpenAccessDSN", Array(Env("VEMO_JET3_FILE"), True), Lines(Array( _
        JetOpen(1, "3.51", Env("VEMO_JET3_FILE"), ""), "Connection1.Release|open"))), _
    Array("OpenAccessDSN", Array(Env("VEMO_JET4_FILE"), True), Lines(Array( _
        JetOpen(1, "3.51", Env("VEMO_JET4_FILE"), "|failed"), "Connection1.Release|closed", _
        JetOpen(2, "4.0", Env("VEMO_JET4_FILE"), ""), "Connection2.Release|open"))), _
    Array("OpenAccessDSN", Array(Env("VEMO_MISSING_FILE"), False), Lines(Array( _
        JetOpen(1, "3.51", Env("VEMO_MISSING_FILE"), "|failed"), "Connection1.Release|closed", _
        JetOpen(2, "4.0", Env("VEMO_MISSING_FILE"), "|failed"), "Connection2.Release|closed"))), _
    Array("OpenAccessDSN", Array("", True), ""), _
    Array("OpenAccessDSN", Array(Env("VEMO_JET3_FILE") & """;Provider=x", True), ""), _
    Array("OpenAccessDSN", Array("Z:\a" & Chr(0) & ".mdb", True), ""))
For Each cl In calls
    rec.Clear
    r = Empty
    On Error Resume Next
    Select Case cl(0)
    Case "GetICMaxNum": r = f.GetICMaxNum(cl(1)(0), OrCaller(cl(1), 1))
    Case "GetICBillNo": r = f.GetICBillNo(cl(1)(0), cn)
    Case "PeriodFromDate": r = f.PeriodFromDate(cl(1)(0), cn)
    Case "GetFOperate": r = f.GetFOperate(cl(1)(0), OrCaller(cl(1), 1))
    Case "GetFOperateNew": s = "keep": r = f.GetFOperateNew(cl(1)(0), cn, s)
    Case "GetStockNumberByID": r = f.GetStockNumberByID(cl(1)(0), cl(1)(1), cl(1)(2), cl(1)(3), cn)
    Case "OpenAccessDSN": r = f.OpenAccessDSN(cl(1)(0), cl(1)(1))
    End Select
    n = Err.Number
    On Error GoTo 0
    ' A Null key is refused by the call itself (type mismatch for a String).
    If IsNull(cl(1)(0)) Then CheckEqual n, 13, cl(0) & "(Null): a type mismatch" Else CheckEqual n, 0, cl(0) & ": no error"
    CheckEqual rec.Text, cl(2), cl(0) & "(" & cl(1)(0) & "): what reached ADO"
Next
CheckEqual Left(f.GetICBillNo(6, cn), 3), "B6-", "the recorded GetICBillNo still numbers bills"

' The connection handed out in object mode stays open until its owner closes it.
rec.Clear
Set c = f.OpenAccessDSN(Env("VEMO_JET3_FILE"), False)
c.Close
Set c = Nothing
CheckEqual rec.Text, Lines(Array(JetOpen(1, "3.51", Env("VEMO_JET3_FILE"), ""), "Connection1.Close", _
    "Connection1.Release|closed")), "object mode: only the caller closes and releases the connection"

' A folder whose name holds ';' (the data source is quoted): both providers'
' files open, and the provider's own text keeps the path whole.
Set fso = CreateObject("Scripting.FileSystemObject")
semi = fso.GetParentFolderName(Env("VEMO_JET3_FILE")) & "\a;b"
If Not fso.FolderExists(semi) Then fso.CreateFolder semi
' Each: the provider, the fixture's file, its copy, what the record shows.
files = Array( _
    Array("3.51", Env("VEMO_JET3_FILE"), semi & "\stock3.mdb", Lines(Array( _
        JetOpen(1, "3.51", semi & "\stock3.mdb", ""), "Connection1.Release|open"))), _
    Array("4.0", Env("VEMO_JET4_FILE"), semi & "\stock4.mdb", Lines(Array( _
        JetOpen(1, "3.51", semi & "\stock4.mdb", "|failed"), "Connection1.Release|closed", _
        JetOpen(2, "4.0", semi & "\stock4.mdb", ""), "Connection2.Release|open"))))
For Each fl In files
    fso.CopyFile fl(1), fl(2), True
    rec.Clear
    a = f.OpenAccessDSN(fl(2))
    Check InStr(a, "Provider=Microsoft.Jet.OLEDB." & fl(0) & ";") = 1, "a path with ';' opens with " & fl(0) & ": " & a
    Check InStr(a, ";Data Source=""" & fl(2) & """;") > 0, "the provider's text holds the whole path: " & a
    CheckEqual rec.Text, fl(3), "the quoted path with ';' reached the " & fl(0) & " provider"
    Set c = f.OpenAccessDSN(fl(2), False)
    CheckEqual c.State, 1, "object mode on a path with ';' (" & fl(0) & ")"
    c.Close
    Set c = Nothing
Next
fso.DeleteFolder semi
Set rec = Nothing

CheckEqual cn.State, 1, "the caller's connection is still open at the end"
cn.Close
