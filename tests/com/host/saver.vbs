' Worker: saves COUNT settings TAG1..TAGn into SECTION (default "Load") of DOC.
' Usage: cscript saver.vbs DOC TAG COUNT [SECTION]
Dim f, i, n, tag, section
Set f = CreateObject("VemoFunction.IniFile")
' Wine's WScript.Arguments items end in a NUL character.
f.IniFileName = Replace(WScript.Arguments(0), Chr(0), "")
tag = Replace(WScript.Arguments(1), Chr(0), "")
n = CLng(Replace(WScript.Arguments(2), Chr(0), ""))
section = "Load"
If WScript.Arguments.Count > 3 Then section = Replace(WScript.Arguments(3), Chr(0), "")
For i = 1 To n
    f.SaveSet section, tag & i, i
Next
WScript.Echo "saved " & n
