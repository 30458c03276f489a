' Another process reads what seed.vbs saved (and what survived kills).
Dim f, d, i, ok
Set f = HostDocument()
Set d = CheckedSection(f, "Big", 100)
If Not (d Is Nothing) Then
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
