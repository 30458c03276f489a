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
Check IsEmpty(f.OpenAccessDSN(Env("VEMO_JET3_FILE") & ";Provider=x")), "a path with a semicolon is refused"
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

CheckEqual cn.State, 1, "the caller's connection is still open at the end"
cn.Close
