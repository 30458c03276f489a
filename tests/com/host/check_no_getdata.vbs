' With the data-access component unregistered ExecuteSQL raises the error of
' the failed creation, and the settings members of the same object work on.
Dim f, rs, n, doc
Set f = CreateObject("VemoFunction.IniFile")
doc = "nogetdata-" & CStr(Int(Timer * 100)) & ".INI"
f.IniFileName = doc
On Error Resume Next
Set rs = f.ExecuteSQL("SELECT 1")
n = Err.Number
Check InStr(Err.Description, "Tally.GetData") > 0, "the error names the component: " & Err.Description
On Error GoTo 0
CheckEqual Hex(n), "800401F3", "ExecuteSQL raises the creation error"
CheckEqual f.SaveSet("Main", "k", CInt(5)), False, "SaveSet after the failure"
CheckEqual f.GetSet("Main", "k", 0), CInt(5), "GetSet reads what was saved after the failure"
CheckEqual f.GetAllSet("Main").Count, 1, "GetAllSet after the failure"
CheckEqual f.IniFileName, doc, "the document name is untouched"
