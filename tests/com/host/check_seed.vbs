' Another process reads what seed.vbs saved (and what survived kills).
Dim f, sh, d, i, ok
Set sh = CreateObject("WScript.Shell")
Set f = CreateObject("VemoFunction.IniFile")
' Wine's ExpandEnvironmentStrings result ends in a NUL character.
f.IniFileName = Replace(sh.ExpandEnvironmentStrings("%HOSTTEST_DOC%"), Chr(0), "")
Set d = f.GetAllSetToDict("Big")
Check Not (d Is Nothing), "the document loads and holds section Big"
If Not (d Is Nothing) Then
    CheckEqual d.EntryCount, 100, "all 100 settings of Big"
    ok = True
    For i = 1 To 100
        If d.ValueOf("k" & i) <> "value " & i Then ok = False
    Next
    Check ok, "every value of Big intact"
End If
CheckEqual VarType(f.GetSet("Types", "i2", 0)), vbInteger, "Integer from another process"
CheckEqual f.GetSet("Types", "dt", Now), DateSerial(2001, 9, 30), "date from another process"
CheckEqual f.GetSet("Types", "yes", ""), True, "Boolean from another process"
CheckEqual VarType(f.GetSet("Types", "cy", 0)), vbCurrency, "Currency from another process"
WScript.Echo "counter " & f.GetSet("Counter", "n", 0)
