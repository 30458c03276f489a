' Worker: saves a rising counter into DOC until it is killed.
' Usage: cscript looper.vbs DOC
Dim f, i
Set f = CreateObject("VemoFunction.IniFile")
' Wine's WScript.Arguments items end in a NUL character.
f.IniFileName = Replace(WScript.Arguments(0), Chr(0), "")
i = 0
Do
    i = i + 1
    f.SaveSet "Counter", "n", i
Loop
