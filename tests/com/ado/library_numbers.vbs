' Allocates VEMO_COUNT internal numbers and as many bill numbers through the
' library and prints each as "n=<number>"; run twice at once by
' concurrent_numbers.sh.
Dim f, cn, i, count
count = CLng(Env("VEMO_COUNT"))
Set f = CreateObject("VemoFunction.VemoFuns")
Set cn = CreateObject("ADODB.Connection")
cn.ConnectionString = Env("VEMO_PG_ODBC")
For i = 1 To count
    WScript.Echo "n=" & f.GetICMaxNum("concurrency-library", cn)
    WScript.Echo "n=" & f.GetICBillNo(3, cn)
Next
Check True, "allocated " & count
