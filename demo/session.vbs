' A session with the library, as an inventory form holds it: numbering,
' switches, stock, periods, an Access file, settings, a pass-through query,
' text helpers, a password, a grid, a toolbar and the button collection.
' scripts/demo runs it with the test ERP database in the environment;
' scripts/demo-session puts tests/com/vbs/helpers.vbs in front of it (Env,
' the stand-in grid and toolbar).
'
' Every step runs on its own: a failing step prints its error and the
' session goes on with the next one.

Dim f, cn, pgText, failures
failures = 0

Sub Title(text)
    WScript.Echo ""
    WScript.Echo "== " & text
End Sub

Sub Show(label, value)
    WScript.Echo "  " & label & ": " & value
End Sub

' The error of the step that just ran, if any, as one transcript line.
Sub Report(stepName)
    If Err.Number <> 0 Then
        WScript.Echo "  " & stepName & " failed: " & Err.Description & " (0x" & Hex(Err.Number) & ")"
        failures = failures + 1
        Err.Clear
    End If
End Sub

' Hex digits of a byte array. The script engine cannot read the bytes of an
' array, so the ERP database encodes them: a binary parameter comes back as hex.
Function HexBytes(bytes)
    Dim cmd, rs
    Set cmd = CreateObject("ADODB.Command")
    Set cmd.ActiveConnection = cn
    cmd.CommandText = "SELECT encode(CAST(? AS bytea), 'hex')"
    cmd.Parameters.Append cmd.CreateParameter("bytes", 204, 1, 64, bytes)
    Set rs = cmd.Execute
    HexBytes = UCase(rs(0).Value)
    rs.Close
End Function

' What the stand-in grid was asked to do (its record "U;M2,1,2,3;"), in words.
Function GridCalls(record)
    Dim calls, i, p, out
    out = ""
    calls = Split(record, ";")
    For i = 0 To UBound(calls)
        If calls(i) = "U" Then
            out = out & "unmerge all; "
        ElseIf Left(calls(i), 1) = "M" Then
            p = Split(Mid(calls(i), 2), ",")
            out = out & "merge rows " & p(0) & "-" & p(2) & " columns " & p(1) & "-" & p(3) & "; "
        End If
    Next
    GridCalls = out
End Function

' --- the steps
Sub Numbering()
    Dim kinds, names, i
    Title "Bill numbering"
    Show "next internal number of ICStockBill", f.GetICMaxNum("ICStockBill", cn)
    Show "and the one after it", f.GetICMaxNum("ICStockBill", cn)
    kinds = Array(0, 1, 3, 8, 10)
    names = Array("in-stock (BillInstock)", "out-stock (BillOutStock)", "transfer (BillTransfer)", _
                  "purchase (BillPur)", "workshop out (BillWout)")
    For i = 0 To UBound(kinds)
        Show "bill number, " & names(i), f.GetICBillNo(kinds(i), cn)
    Next
    Show "bill number, in-stock again", f.GetICBillNo(0, cn)
End Sub

Sub Switches()
    Dim fid, op
    Title "Operation switches"
    Show "GetFOperate(""AB"")", f.GetFOperate("AB", cn)
    ' FID comes back through the by-reference String: a script variable
    ' that holds a text is written through.
    fid = "(unchanged)"
    op = f.GetFOperateNew("AB", cn, fid)
    Show "GetFOperateNew(""AB"")", op & ", FID " & fid
    fid = "(unchanged)"
    op = f.GetFOperateNew("no such key", cn, fid)
    Show "GetFOperateNew(""no such key"")", op & ", FID " & fid
End Sub

Sub Stock()
    Title "Stock of item 10 in stock 1 of branch 01"
    Show "in pieces (unit 4, 1 piece each)", f.GetStockNumberByID("01", "1", "10", "4", cn)
    Show "in pairs (unit 1, 2 pieces each)", f.GetStockNumberByID("01", "1", "10", "1", cn)
    Show "item 12 (two rows) in pieces", f.GetStockNumberByID("01", "1", "12", "4", cn)
End Sub

Sub Periods()
    Title "Accounting period"
    Show "period of today (" & FormatDateTime(Now, 2) & ")", f.PeriodFromDate(Now, cn)
    Show "period of 2027-01-15 11:00", f.PeriodFromDate(CDate("2027-01-15 11:00"), cn)
    Show "period of 2027-01-15 13:00", f.PeriodFromDate(CDate("2027-01-15 13:00"), cn)
    Show "period of 2031-06-01 (none)", f.PeriodFromDate(CDate("2031-06-01"), cn)
End Sub

Sub AccessFile()
    Dim path, v
    Title "Access file"
    path = Env("VEMO_JET4_FILE")
    Show "file", path
    Show "as a connection string", f.OpenAccessDSN(path, True)
    Set v = f.OpenAccessDSN(path, False)
    Show "as an open connection", "State " & v.State & ", provider " & v.Provider
    v.Close
    Show "a missing file, as a string", "[" & f.OpenAccessDSN(Env("VEMO_MISSING_FILE"), True) & "]"
End Sub

Sub Settings()
    Dim s, runs, last, stamp
    Title "Settings (kept in the demo prefix from run to run)"
    Set s = CreateObject("VemoFunction.IniFile")
    s.IniFileName = "DemoSession.INI"
    Show "document", s.IniFileName
    runs = s.GetSet("Demo", "Runs", CLng(0))
    last = s.GetSet("Demo", "LastRun", "(never)")
    Show "earlier runs", runs
    Show "last run", last
    runs = runs + 1
    stamp = CStr(Now)
    s.SaveSet "Demo", "Runs", (runs)
    s.SaveSet "Demo", "LastRun", (stamp)
    s.SaveSet "Demo", "Printer", "Counter 2"
    Show "saved Runs, read back", s.GetSet("Demo", "Runs", CLng(0))
    Show "saved LastRun, read back", s.GetSet("Demo", "LastRun", "")
    Show "section Demo", JoinEntries(s.GetAllSetToDict("Demo"))
End Sub

' The entries of a section dictionary as name=value pairs.
Function JoinEntries(d)
    Dim i, name, out
    out = ""
    For i = 1 To d.EntryCount
        name = d.KeyAt(i)
        If out <> "" Then out = out & ", "
        out = out & name & "=" & d.ValueOf(name)
    Next
    JoinEntries = out
End Function

Sub PassThrough()
    Dim s, rs, sp, sql
    Title "SQL pass-through"
    On Error Resume Next
    ' What the hosting client does when a user logs in: it publishes the
    ' login's property string (for the test host, the login database's ADO
    ' connection string) for its own process.
    Set sp = CreateObject("Trellis.ShareProps")
    sp.SetProperty sp.CurrentProcessId, "PropsString", Env("VEMO_PG_ODBC")
    If Err.Number <> 0 Then
        Report "login"
        Exit Sub
    End If
    Set s = CreateObject("VemoFunction.IniFile")
    sql = "SELECT FShortCut, FOperate FROM ICSwitch WHERE FID < 40 ORDER BY FID"
    Show "query", sql
    Set rs = s.ExecuteSQL(sql)
    If Err.Number <> 0 Then
        Report "ExecuteSQL"
        Exit Sub
    End If
    If rs Is Nothing Then
        Show "ExecuteSQL", "no recordset"
        Exit Sub
    End If
    Do While Not rs.EOF
        Show "row", rs(0).Value & " -> " & rs(1).Value
        rs.MoveNext
    Loop
    rs.Close
End Sub

Sub Texts()
    Dim no, com
    Title "Text helpers"
    no = "BILL009"
    Show "AddStrNum(""" & no & """)", f.AddStrNum((no))
    no = "IN0099"
    Show "AddStrNum(""" & no & """)", f.AddStrNum((no))
    Show "GetString(""10|Screws|PCS"", 2)", f.GetString("10|Screws|PCS", 2)
    Show "GetString(""a;b;c"", 3, "";"")", f.GetString("a;b;c", 3, ";")
    com = f.MakeComString("Warehouse 1", "Shelf 7")
    Show "GetComString(MakeComString(""Warehouse 1"", ""Shelf 7""))", f.GetComString(com)
    Show "ISIncludeChinese(""Bolt"")", f.ISIncludeChinese("Bolt")
    Show "CNulls(Null, ""-"")", f.CNulls(Null, "-")
    Show "IsNull(""   "")", f.IsNull("   ")
End Sub

Sub Password()
    Title "Password value"
    Show "GeneratePwd(""clerk"", ""secret"") as hex", HexBytes(f.GeneratePwd("clerk", "secret"))
End Sub

Sub GridRow()
    Dim g
    Title "Grid row merge"
    Set g = New Grid
    Show "row 2 ""Bolt+|Bolt+|M8|12|"" becomes", f.MergeRowData((g), 2, "Bolt+|Bolt+|M8|12|")
    Show "the grid was asked to", GridCalls(g.Log)
End Sub

Sub ToolbarLabels()
    Dim t, a, b
    Title "Toolbar labels"
    Set t = New Toolbar
    Set a = NewButton("Save the bill")
    Set b = NewButton("Print")
    t.Buttons.Add a, ""
    t.Buttons.Add b, ""
    f.SetToolBarLable (t), True
    Show "labels shown", "[" & a.Caption & "] [" & b.Caption & "]"
    f.SetToolBarLable (t), False
    Show "labels hidden", "[" & a.Caption & "] [" & b.Caption & "]"
End Sub

Sub Buttons()
    Dim bs, e
    Title "Button collection"
    Set bs = CreateObject("VemoFunction.Btns")
    bs.Add "new.bmp", "new_s.bmp", "New bill", 1, 0, 0, 0
    bs.Add "save.bmp", "save_s.bmp", "Save", 1, 24, 0, 1
    bs.Add "print.bmp", "print_s.bmp", "Print", 1, 48, 0, 2
    Show "Count", bs.Count
    For Each e In bs
        Show "button " & e.ID, e.ToolTip & " at " & e.Left & "," & e.Top & ", picture " & e.FPicture & _
             ", first mark " & e.BLoad
    Next
    bs.Remove 2
    Show "after removing the second, Count", bs.Count
End Sub

Sub Machine()
    Title "Machine"
    Show "Windows path", f.WinPath
    Show "system path", f.WinSysPath
    Show "application system path", f.AppSystemPath
    Show "computer name", f.GetLocalComputerName()
End Sub

' --- the session
Set f = CreateObject("VemoFunction.VemoFuns")
WScript.Echo "VemoFunction session"
On Error Resume Next
Machine : Report "machine"
pgText = Env("VEMO_PG_ODBC")
Set cn = CreateObject("ADODB.Connection")
cn.Open pgText
Report "connecting to the ERP database"
Numbering : Report "numbering"
Switches : Report "switches"
Stock : Report "stock"
Periods : Report "periods"
AccessFile : Report "Access file"
Settings : Report "settings"
PassThrough : Report "pass-through"
Texts : Report "text helpers"
Password : Report "password"
GridRow : Report "grid"
ToolbarLabels : Report "toolbar"
Buttons : Report "buttons"
cn.Close
Err.Clear
On Error GoTo 0
WScript.Echo ""
WScript.Echo "session ended, " & failures & " step(s) failed"
