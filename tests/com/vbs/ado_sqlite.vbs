' The test host's ADO subset against the SQLite file of the test database.
Dim cs, cn, rs, cmd, n, d

cs = Env("VEMO_SQLITE_ODBC")
Check Len(cs) > 0, "VEMO_SQLITE_ODBC is set"

Set cn = CreateObject("ADODB.Connection")
cn.Open cs
CheckEqual cn.State, 1, "open"
Check InStr(cn.ConnectionString, "Provider=MSDASQL.1;Extended Properties=") = 1, "full form: " & cn.ConnectionString

Set rs = cn.Execute("SELECT FOperate, FID FROM ICSwitch WHERE FShortCut='AB'", , -1)
CheckEqual rs.RecordCount, -1, "RecordCount of an Execute result"
CheckEqual rs.Fields("foperate").Value, 3, "FOperate by name, any case"
CheckEqual VarType(rs("FID").Value), vbLong, "integer as Long"
CheckEqual rs.Fields(0).Name, "FOperate", "SQLite reports the declared name"
rs.MoveNext
Check rs.EOF, "one row"

Set rs = cn.Execute("SELECT FQty FROM ICInventory WHERE FBrNo='01' AND FStockID=1 AND FItemID=12")
CheckEqual rs("FQty").Value, 4, "first of two rows"
rs.MoveNext
CheckEqual rs("FQty").Value, 6, "second row"
Set rs = cn.Execute("SELECT FCoefficient FROM vwICUnitCoe WHERE FItemID=2")
CheckEqual rs(0).Value, 0.5, "coefficient through the view"
CheckEqual VarType(rs(0).Value), vbDouble, "REAL as Double"
Set rs = cn.Execute("SELECT FQty FROM ICInventory WHERE FItemID=13")
Check IsNull(rs(0).Value), "NULL as Null"

CheckEmptyResult cn, "SQLite"

Set cmd = CreateObject("ADODB.Command")
cmd.ActiveConnection = cs
cmd.CommandText = "SELECT FID FROM ICSwitch WHERE FShortCut = ?"
cmd.Parameters.Append cmd.CreateParameter("k", adVarChar, adParamInput, 20, "O'K")
Set rs = cmd.Execute
CheckEqual rs(0).Value, 90, "parameter with a quote"

' No procedures in SQLite: the call fails with the driver's message.
Set cmd = ProcCommand(cs, "GetICMaxNum", adVarChar, 50, "ICStockBill", adInteger, 0)
On Error Resume Next
cmd.Execute , , -1
n = Err.Number
d = Err.Description
On Error GoTo 0
CheckEqual n, &H80004005, "a procedure call on SQLite"
Check InStr(1, d, "syntax", 1) > 0 Or InStr(1, d, "CALL", 1) > 0, "the driver's text: " & d
Check IsEmpty(cmd.Parameters("@Out").Value), "output untouched after a failed call"

cn.Close
CheckEqual cn.State, 0, "closed"
