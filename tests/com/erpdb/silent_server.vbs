' A server that accepts the connection and never answers (silent_server.exe
' on 127.0.0.1): Open gives up after ConnectionTimeout (15 s by default) or
' the text's Connect Timeout, and the database members answer their neutral
' results within that time.
Dim text, cn, caller, f, t0, n, s

text = "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" & Env("VEMO_SILENT_PORT") & ";Database=erp;Uid=postgres;"

Function OpenSeconds(c, connText)
    Dim t
    t = Timer
    On Error Resume Next
    c.Open connText
    n = Err.Number
    On Error GoTo 0
    OpenSeconds = Timer - t
End Function

Set cn = CreateObject("ADODB.Connection")
cn.ConnectionTimeout = 2
t0 = OpenSeconds(cn, text)
CheckEqual n, &H80004005, "Open fails"
Check t0 >= 1.5 And t0 < 6, "after ConnectionTimeout 2 s: " & t0 & " s"
CheckEqual cn.State, 0, "and stays closed"
Set cn = CreateObject("ADODB.Connection")
t0 = OpenSeconds(cn, text & "Connect Timeout=1;")
Check n <> 0 And t0 >= 0.5 And t0 < 5, "the text's Connect Timeout 1 s wins: " & t0 & " s"
Set cn = CreateObject("ADODB.Connection")
t0 = OpenSeconds(cn, text)
Check n <> 0 And t0 >= 13 And t0 < 22, "ADO's default of 15 s: " & t0 & " s"

' The library's private connections open from the caller's text.
Set f = CreateObject("VemoFunction.VemoFuns")
Set caller = CreateObject("ADODB.Connection")
caller.ConnectionString = text & "Connect Timeout=2;"
t0 = Timer
CheckEqual f.GetICBillNo(1, caller), "", "GetICBillNo"
CheckEqual f.GetICMaxNum("ICStockBill", caller), -1, "GetICMaxNum"
CheckEqual f.GetFOperate("AB", caller), -1, "GetFOperate"
s = "keep"
CheckEqual f.GetFOperateNew("AB", caller, s), -1, "GetFOperateNew"
CheckEqual s, "keep", "sReturn unchanged"
CheckEqual f.PeriodFromDate(DateSerial(2026, 3, 15), caller), -1, "PeriodFromDate"
t0 = Timer - t0
Check t0 < 20, "five calls of 2 s each: " & t0 & " s"
CheckEqual caller.State, 0, "the caller's connection stays closed"
