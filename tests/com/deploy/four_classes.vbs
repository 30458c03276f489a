' The four classes by ProgID, late bound, one member of each: in an
' activation context made from the shipped manifest with nothing registered
' (vbs_host with VEMO_VBS_ACTCTX), or as an installer registered them.
Dim progIds, i, o, ini, btns, btn, funs, ctx
progIds = Array("VemoFunction.IniFile", "VemoFunction.VemoFuns", "VemoFunction.Btns", "VemoFunction.Btn")
For i = 0 To UBound(progIds)
    Set o = Nothing
    On Error Resume Next
    Set o = CreateObject(progIds(i))
    Check Err.Number = 0 And IsObject(o), progIds(i) & " created: " & Err.Description
    On Error GoTo 0
Next
Set ini = CreateObject("VemoFunction.IniFile")
CheckEqual ini.IniFileName, "DAZSystem.INI", "IniFile.IniFileName"
Set btns = CreateObject("VemoFunction.Btns")
CheckEqual btns.Count, 0, "Btns.Count"
Set btn = CreateObject("VemoFunction.Btn")
btn.ToolTip = "Save"
CheckEqual btn.ToolTip, "Save", "Btn.ToolTip"
Set funs = CreateObject("VemoFunction.VemoFuns")
Check Len(funs.WinSysPath) > 0, "VemoFuns.WinSysPath"
Set ini = Nothing: Set btns = Nothing: Set btn = Nothing: Set funs = Nothing: Set o = Nothing

' Wine provides no Microsoft.Windows.ActCtx, the scripting object that makes
' such a context from within a script; hence the host does it here. When
' this check fails, Wine has gained it.
If Env("VEMO_VBS_ACTCTX") <> "" Then
    On Error Resume Next
    Set ctx = CreateObject("Microsoft.Windows.ActCtx")
    Check Err.Number = 429, "Microsoft.Windows.ActCtx is missing from Wine (error " & Err.Number & ")"
    On Error GoTo 0
End If
