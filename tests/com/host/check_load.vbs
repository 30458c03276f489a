' After two savers ran at once: every setting of both is present.
Dim f, d, i, missing
Set f = HostDocument()
Set d = CheckedSection(f, "Load", 400)
If Not (d Is Nothing) Then
    missing = 0
    For i = 1 To 200
        If f.GetSet("Load", "a" & i, 0) <> i Then missing = missing + 1
        If f.GetSet("Load", "b" & i, 0) <> i Then missing = missing + 1
    Next
    CheckEqual missing, 0, "settings lost or wrong"
End If
