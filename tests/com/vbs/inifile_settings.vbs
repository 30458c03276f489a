' IniFile settings late-bound, as the forms call them, over the test host's
' user profile. Every run works on documents of its own.
Dim f, g, doc, r, d, p, root, stamp, fso, t, path
stamp = CStr(Int(Timer * 100)) & CStr(Int(Rnd * 100000))

Set f = CreateObject("VemoFunction.IniFile")
CheckEqual f.IniFileName, "DAZSystem.INI", "a new object's document name"
doc = "settings-" & stamp & ".INI"
f.IniFileName = doc

' Defaults come back unchanged when nothing is stored.
CheckEqual f.GetSet("NoSection", "k"), "", "omitted default is the empty text"
CheckEqual f.GetSet("NoSection", "k", CInt(7)), CInt(7), "Integer default of a missing section"
CheckEqual VarType(f.GetSet("NoSection", "k", CLng(7))), vbLong, "Long default keeps its type"
Check IsNull(f.GetSet("NoSection", "k", Null)), "Null default comes back as Null"
CheckEqual f.GetSet("NoSection", "k", "dflt"), "dflt", "text default"

' SaveSet answers False, also after a successful save.
r = f.SaveSet("Main", "Width", CInt(640))
CheckEqual r, False, "SaveSet returns False after saving"
CheckEqual VarType(r), vbBoolean, "SaveSet answers a Boolean"
CheckEqual f.GetSet("Main", "Width", 0), CInt(640), "saved value read back"
CheckEqual f.GetSet("Main", "Height", 99), 99, "absent setting of an existing section gives the default"

Set g = CreateObject("VemoFunction.IniFile")
g.IniFileName = doc
CheckEqual g.GetSet("Main", "Width", 0), CInt(640), "another object reads the saved value"
g.IniFileName = doc & ".other"
CheckEqual g.GetSet("Main", "Width", 0), 0, "another document name is another document"
r = f.SaveSet("Main", "Width", CInt(800))
CheckEqual f.GetSet("Main", "Width", 0), CInt(800), "SaveSet replaces an earlier value"

' Types survive the store; the default's kind decides what GetSet answers.
r = f.SaveSet("Types", "i2", CInt(-12))
r = f.SaveSet("Types", "i4", CLng(100000))
r = f.SaveSet("Types", "r8", CDbl(1) / 3)
r = f.SaveSet("Types", "cy", CCur("1234.5678"))
r = f.SaveSet("Types", "dt", DateSerial(2024, 2, 29) + TimeSerial(13, 45, 30))
r = f.SaveSet("Types", "yes", True)
r = f.SaveSet("Types", "text", "Zeile 1" & vbCrLf & "  \ %41 ")
r = f.SaveSet("Types", "numtext", "12")
CheckEqual VarType(f.GetSet("Types", "i2", 0)), vbInteger, "Integer comes back as Integer"
CheckEqual f.GetSet("Types", "i2", 0), -12, "Integer value"
CheckEqual VarType(f.GetSet("Types", "i4", 0)), vbLong, "Long comes back as Long"
Check f.GetSet("Types", "r8", 0) = CDbl(1) / 3, "Double comes back exactly"
CheckEqual VarType(f.GetSet("Types", "cy", 0)), vbCurrency, "Currency comes back as Currency"
Check f.GetSet("Types", "cy", 0) = CCur("1234.5678"), "Currency value exact"
CheckEqual VarType(f.GetSet("Types", "dt", Now)), vbDate, "Date comes back as a date"
Check f.GetSet("Types", "dt", Now) = DateSerial(2024, 2, 29) + TimeSerial(13, 45, 30), "date value"
CheckEqual VarType(f.GetSet("Types", "yes", "")), vbBoolean, "a Boolean stays Boolean under a text default"
CheckEqual f.GetSet("Types", "text", ""), "Zeile 1" & vbCrLf & "  \ %41 ", "text with line breaks, blanks and escapes"
CheckEqual VarType(f.GetSet("Types", "i2", "")), vbString, "a number under a text default comes back as text"
CheckEqual f.GetSet("Types", "i2", ""), "-12", "its text"
CheckEqual VarType(f.GetSet("Types", "numtext", 0)), vbInteger, "numeric text under an Integer default becomes a number"
CheckEqual f.GetSet("Types", "numtext", 0), 12, "its value"
CheckEqual f.GetSet("Types", "text", CInt(5)), 5, "text that is no number gives the numeric default"

' A section name with spaces is stored as given; the whole-section readers trim.
r = f.SaveSet(" Spaced ", "k", "v")
CheckEqual f.GetSet(" Spaced ", "k", ""), "v", "GetSet finds the spaced section"
CheckEqual f.GetSet("Spaced", "k", "none"), "none", "the trimmed name is another section"
Check f.GetAllSetToDict(" Spaced ") Is Nothing, "GetAllSetToDict looks for the trimmed name"
Check f.GetAllSetToDict("NoSection") Is Nothing, "GetAllSetToDict of a missing section"

' GetAllSetToDict: the live section dictionary in the stored order.
r = f.SaveSet("Order", "b", 1)
r = f.SaveSet("Order", "a", 2)
r = f.SaveSet("Order", "c", 3)
Set d = f.GetAllSetToDict("  Order ")
CheckEqual d.EntryCount, 3, "section entries"
CheckEqual d.KeyAt(1) & d.KeyAt(2) & d.KeyAt(3), "bac", "entries in the order first stored"
CheckEqual d.ValueOf("a"), 2, "entry value"
d.SetValue "a", 20
CheckEqual f.GetSet("Order", "a", 0), 2, "changes to the returned dictionary are not saved"

' Names compare with regard to case.
r = f.SaveSet("Case", "Key", 1)
r = f.SaveSet("Case", "KEY", 2)
CheckEqual f.GetSet("Case", "Key", 0), 1, "Key"
CheckEqual f.GetSet("Case", "KEY", 0), 2, "KEY is another setting"
CheckEqual f.GetAllSetToDict("Case").EntryCount, 2, "both kept"

' A section entry that is not a dictionary: neutral results, nothing saved.
Set p = CreateObject("QelBase.UserProfile")
p.Load "VemoFunction.IniFile", doc
Set root = p.Dictionary
root.SetValue "Broken", "not a dictionary"
p.Save "VemoFunction.IniFile", doc
Set p = Nothing
CheckEqual f.GetSet("Broken", "k", 5), 5, "GetSet of a broken section gives the default"
CheckEqual f.SaveSet("Broken", "k", 6), False, "SaveSet into a broken section"
Set p = CreateObject("QelBase.UserProfile")
p.Load "VemoFunction.IniFile", doc
CheckEqual p.Dictionary.ValueOf("Broken"), "not a dictionary", "the broken section was not overwritten"
Check f.GetAllSetToDict("Broken") Is Nothing, "GetAllSetToDict of a broken section"

' A value the store cannot keep: SaveSet answers False and keeps the old value.
r = f.SaveSet("Main", "Width", CreateObject("Scripting.Dictionary"))
CheckEqual r, False, "an unstorable value"
CheckEqual f.GetSet("Main", "Width", 0), CInt(800), "the stored value is unchanged"

' A settings file that does not parse is kept aside as it was, and a new
' document takes its place: GetSet gives the default, SaveSet saves into it.
Set fso = CreateObject("Scripting.FileSystemObject")
path = CreateObject("WScript.Shell").ExpandEnvironmentStrings("%USERPROFILE%")
path = Replace(path, Chr(0), "") & "\QelBase Profiles\VemoFunction.IniFile#" & doc & ".pyx"
Check fso.FileExists(path), "the settings file is in the profile directory"
Set t = fso.CreateTextFile(path, True)
t.Write "PYXDOC 1" & vbLf & "S Width 1024" & vbCr
t.Close
CheckEqual f.GetSet("Main", "Width", 0), 0, "a damaged file reads as a new document"
r = f.SaveSet("Main", "Width", CInt(1024))
CheckEqual f.GetSet("Main", "Width", 0), CInt(1024), "SaveSet saves into the new document"
CheckEqual f.GetSet("Types", "i2", 0), 0, "which holds that setting alone"
Set t = fso.OpenTextFile(path & ".damaged", 1)
CheckEqual t.ReadAll, "PYXDOC 1" & vbLf & "S Width 1024" & vbCr, "the damaged file is kept aside unchanged"
t.Close
fso.DeleteFile path & ".damaged"

' The empty document name is a document like any other.
f.IniFileName = ""
r = f.SaveSet("E" & stamp, "k", "empty-name")
CheckEqual f.GetSet("E" & stamp, "k", ""), "empty-name", "empty document name"
f.IniFileName = doc
CheckEqual f.GetSet("E" & stamp, "k", "no"), "no", "and separate from the others"
