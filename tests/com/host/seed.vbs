' Writes the documents the other processes read: section "Big" with 100
' settings, and one of each stored type in "Types".
Dim f, i
Set f = HostDocument()
For i = 1 To 100
    f.SaveSet "Big", "k" & i, "value " & i
Next
f.SaveSet "Types", "i2", CInt(-5)
f.SaveSet "Types", "dt", DateSerial(2001, 9, 30)
f.SaveSet "Types", "yes", True
f.SaveSet "Types", "cy", CCur("0.0001")
Check True, "seeded"
