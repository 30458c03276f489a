' After two savers ran at once: every setting of both is present.
Dim f, sh, d, i, missing
Set sh = CreateObject("WScript.Shell")
Set f = CreateObject("VemoFunction.IniFile")
' Wine's ExpandEnvironmentStrings result ends in a NUL character.
f.IniFileName = Replace(sh.ExpandEnvironmentStrings("%HOSTTEST_DOC%"), Chr(0), "")
Set d = f.GetAllSetToDict("Load")
Check Not (d Is Nothing), "section Load exists"
If Not (d Is Nothing) Then
    CheckEqual d.EntryCount, 400, "400 settings from two processes"
    missing = 0
    For i = 1 To 200
        If f.GetSet("Load", "a" & i, 0) <> i Then missing = missing + 1
        If f.GetSet("Load", "b" & i, 0) <> i Then missing = missing + 1
    Next
    CheckEqual missing, 0, "settings lost or wrong"
End If
