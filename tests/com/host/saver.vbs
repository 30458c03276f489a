' Worker: saves COUNT settings TAG1..TAGn into SECTION (default "Load") of DOC.
' Usage: cscript saver.vbs DOC TAG COUNT [SECTION]
' Prints "saved N" at the end, and says where it stopped otherwise (cscript
' itself ends silently on an uncaught error).
Dim f, i, n, tag, section, refused
WScript.Echo "started"
On Error Resume Next
Set f = CreateObject("VemoFunction.IniFile")
If Err.Number <> 0 Then WScript.Echo "CreateObject: " & Err.Number & " " & Err.Description: WScript.Quit 1
' Wine's WScript.Arguments items end in a NUL character.
f.IniFileName = Replace(WScript.Arguments(0), Chr(0), "")
tag = Replace(WScript.Arguments(1), Chr(0), "")
n = CLng(Replace(WScript.Arguments(2), Chr(0), ""))
section = "Load"
If WScript.Arguments.Count > 3 Then section = Replace(WScript.Arguments(3), Chr(0), "")
refused = 0
For i = 1 To n
    If Not f.SaveSet(section, tag & i, i) Then refused = refused + 1
    If Err.Number <> 0 Then WScript.Echo "SaveSet " & i & ": " & Err.Number & " " & Err.Description: WScript.Quit 1
Next
If refused > 0 Then WScript.Echo "refused " & refused
WScript.Echo "saved " & n
