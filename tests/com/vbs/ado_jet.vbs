' The Jet providers of the test host: which files each opens, and the
' connection string it reports.
Dim jet3, jet4, path, cn, n, d, s

Function OpenWith(provider, file)
    Set OpenWith = CreateObject("ADODB.Connection")
    OpenWith.Open "PROVIDER=Microsoft.Jet.OLEDB." & provider & ";Data Source=" & file & ";", "", "", -1
End Function

' Opens `file` with `provider`, checked to be open and reported as opened
' by that provider from that file.
Function CheckedOpen(provider, file, what)
    Dim c, s
    Set c = OpenWith(provider, file)
    CheckEqual c.State, 1, what
    s = c.ConnectionString
    Check InStr(s, "Provider=Microsoft.Jet.OLEDB." & provider & ";") = 1, what & ": names " & provider & ": " & s
    Check InStr(s, ";Data Source=" & file & ";") > 0, what & ": names the file"
    Set CheckedOpen = c
End Function

' Error number and text of opening `file` with `provider`.
Function OpenError(provider, file)
    Dim c
    On Error Resume Next
    Set c = OpenWith(provider, file)
    OpenError = Err.Number & "|" & Err.Description
    Err.Clear
End Function

jet3 = Env("VEMO_JET3_FILE")
jet4 = Env("VEMO_JET4_FILE")
Check Left(jet3, 3) = "Z:\", "VEMO_JET3_FILE is a Windows path: " & jet3

' Jet 3 by 3.51: open, with the provider's full form.
Set cn = CheckedOpen("3.51", jet3, "Jet 3 file opened by 3.51")
s = cn.ConnectionString
Check InStr(s, ";User ID=Admin;") > 0, "default user"
Check InStr(s, ";Mode=Share Deny None;") > 0, "default mode"
CheckEqual cn.Provider, "Microsoft.Jet.OLEDB.3.51", "Provider"
On Error Resume Next
cn.Execute "SELECT 1"
n = Err.Number
On Error GoTo 0
Check n <> 0, "no Jet engine: statements are refused"
cn.Close
CheckEqual cn.State, 0, "closed"
cn.Open
CheckEqual cn.State, 1, "reopened from the reported form"
CheckEqual cn.Provider, "Microsoft.Jet.OLEDB.3.51", "still 3.51"

' Jet 4: refused by 3.51, opened by 4.0; 4.0 also reads Jet 3.
d = OpenError("3.51", jet4)
Check Left(d, 11) = "-2147467259", "Jet 4 file refused by 3.51: " & d
Check InStr(d, "Unrecognized database format '" & jet4 & "'") > 0, "the provider's text: " & d
Set cn = CheckedOpen("4.0", jet4, "Jet 4 file opened by 4.0")
Check InStr(cn.ConnectionString, ";Jet OLEDB:Engine Type=5;") > 0, "engine type of Jet 4"
Set cn = CheckedOpen("4.0", jet3, "Jet 3 file opened by 4.0")
Check InStr(cn.ConnectionString, ";Jet OLEDB:Engine Type=4;") > 0, "4.0 reads a Jet 3 file"

' Missing files and files of no Jet version: refused by both.
path = Env("VEMO_MISSING_FILE")
d = OpenError("3.51", path)
Check InStr(d, "Could not find file '" & path & "'") > 0, "missing file, 3.51: " & d
d = OpenError("4.0", path)
Check InStr(d, "Could not find file '" & path & "'") > 0, "missing file, 4.0: " & d
path = Env("VEMO_ACE_FILE")
Check InStr(OpenError("3.51", path), "Unrecognized database format") > 0, "later engine, 3.51"
Check InStr(OpenError("4.0", path), "Unrecognized database format") > 0, "later engine, 4.0"
path = Env("VEMO_NOTJET_FILE")
Check InStr(OpenError("4.0", path), "Unrecognized database format") > 0, "not a database, 4.0"
d = OpenError("4.0", "")
Check InStr(d, "Could not find file") > 0, "no Data Source: " & d
Set cn = CreateObject("ADODB.Connection")
On Error Resume Next
cn.Open "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=""" & jet4
n = Err.Number
On Error GoTo 0
CheckEqual n, 3001, "an unterminated quote"
CheckEqual cn.State, 0, "nothing opened"
