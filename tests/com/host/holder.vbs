' Worker: loads DOC through the user profile component and adds a section
' "Fresh" (a1, a2, b2) that the document does not hold; then runs saver.vbs,
' which saves b1..b3 into a "Fresh" of its own, in another process, and saves
' once that has ended: both made the same new section between this Load and
' this Save.
' Usage: cscript holder.vbs DOC
Dim p, s, f, sh, doc, here
' Wine's WScript.Arguments items end in a NUL character.
doc = Replace(WScript.Arguments(0), Chr(0), "")
Set p = CreateObject("QelBase.UserProfile")
p.Load "VemoFunction.IniFile", doc
Set s = CreateObject("Pyx.Dictionary")
s.SetValue "a1", 1
s.SetValue "a2", 2
s.SetValue "b2", "held"
p.Dictionary.SetObject "Fresh", s
Set sh = CreateObject("WScript.Shell")
here = Left(WScript.ScriptFullName, InStrRev(WScript.ScriptFullName, "\"))
sh.Run "cscript //nologo """ & here & "saver.vbs"" """ & doc & """ b 3 Fresh", 0, True
Set f = CreateObject("VemoFunction.IniFile")
f.IniFileName = doc
If f.GetSet("Fresh", "b3", 0) = 3 Then
    p.Save "VemoFunction.IniFile", doc
    WScript.Echo "saved"
Else
    WScript.Echo "the other process saved nothing"
End If
