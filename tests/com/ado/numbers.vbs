' Allocates VEMO_COUNT numbers of one counter through GetICMaxNum on one
' command and prints each as "n=<number>"; run twice at once by
' concurrent_numbers.sh.
Dim cmd, i, count
count = CLng(Env("VEMO_COUNT"))
Set cmd = CreateObject("ADODB.Command")
cmd.ActiveConnection = Env("VEMO_PG_ODBC")
cmd.CommandText = "GetICMaxNum"
cmd.CommandType = 4
cmd.Parameters.Append cmd.CreateParameter("@TableName", 200, 1, 50, "concurrency")
cmd.Parameters.Append cmd.CreateParameter("@FInterID", 3, 2, 0)
For i = 1 To count
    cmd.Execute , , -1
    WScript.Echo "n=" & cmd.Parameters(1).Value
Next
Check True, "allocated " & count
