' The test host's user profile and dictionary components on their own:
' typed storage, merging saves, damaged and unstorable documents.
Const KEY = "ProfileStoreTest"
Dim doc, p, q, root, d, n, sh, fso, path, t, v, whole, kept, text
doc = "store-" & CStr(Int(Timer * 100)) & CStr(Int(Rnd * 100000))

Function Loaded(name)
    Dim prof
    Set prof = CreateObject("QelBase.UserProfile")
    prof.Load KEY, name
    Set Loaded = prof
End Function

' Dictionary: order, exact names, Lookup typing, positions checked.
Set d = CreateObject("Pyx.Dictionary")
d.SetValue "z", 1
d.SetValue "a", 2
d.SetValue "Z", 3
d.SetValue "a", 4
CheckEqual d.EntryCount, 3, "replacing keeps one entry"
CheckEqual d.KeyAt(1) & d.KeyAt(2) & d.KeyAt(3), "zaZ", "first-stored order, names with case"
CheckEqual d.ValueOf("a"), 4, "replaced value"
Check IsEmpty(d.ValueOf("none")), "ValueOf of an absent name is Empty"
d.RemoveEntry "z"
CheckEqual d.KeyAt(1), "a", "removal closes the gap"
On Error Resume Next
v = d.KeyAt(0)
CheckEqual Err.Number, 9, "position 0 is out of range"
Err.Clear
v = d.KeyAt(3)
CheckEqual Err.Number, 9, "position past the end is out of range"
Err.Clear
d.SetObject "o", 5
CheckEqual Err.Number, 13, "SetObject refuses a non-object"
Err.Clear
On Error GoTo 0
d.SetValue "flag", False
d.SetValue "when", DateSerial(1999, 12, 31)
CheckEqual VarType(d.Lookup("a", "")), vbString, "number under a text default becomes text"
CheckEqual VarType(d.Lookup("flag", "")), vbBoolean, "Boolean under a text default stays Boolean"
CheckEqual VarType(d.Lookup("when", "")), vbString, "date under a text default becomes text"
CheckEqual VarType(d.Lookup("flag", 0)), vbInteger, "Boolean under a numeric default becomes a number"
CheckEqual d.Lookup("flag", 0), 0, "False as a number"
CheckEqual VarType(d.Lookup("when", Null)), vbDate, "other defaults leave the value as stored"
CheckEqual d.Lookup("none", CLng(8)), CLng(8), "absent name gives the default"

' Every stored kind comes back with its type, nested dictionaries included.
Set p = Loaded(doc)
Set root = p.Dictionary
CheckEqual root.EntryCount, 0, "a new document is empty"
Set d = CreateObject("Pyx.Dictionary")
d.SetValue "i2", CInt(-32768)
d.SetValue "i4", CLng(-2147483647)
d.SetValue "r8", 1E+300
d.SetValue "cy", CCur("-123456789012.3456")
d.SetValue "dt", DateSerial(1899, 12, 30) + TimeSerial(0, 0, 1)
d.SetValue "b", True
d.SetValue "s", ""
d.SetValue "e", Empty
d.SetValue "nul", Null
d.SetValue "u", CByte(255)
d.SetValue "r4", CSng(1.5)
root.SetObject "Sec", d
Set n = CreateObject("Pyx.Dictionary")
n.SetValue "deep", "x"
d.SetObject "Nested", n
p.Save KEY, doc
Set d = Loaded(doc).Dictionary.ValueOf("Sec")
CheckEqual VarType(d.ValueOf("i2")) & " " & d.ValueOf("i2"), vbInteger & " -32768", "Integer"
CheckEqual VarType(d.ValueOf("i4")) & " " & d.ValueOf("i4"), vbLong & " -2147483647", "Long"
Check VarType(d.ValueOf("r8")) = vbDouble And d.ValueOf("r8") = 1E+300, "Double"
Check VarType(d.ValueOf("cy")) = vbCurrency And d.ValueOf("cy") = CCur("-123456789012.3456"), "Currency"
Check VarType(d.ValueOf("dt")) = vbDate And d.ValueOf("dt") = DateSerial(1899, 12, 30) + TimeSerial(0, 0, 1), "Date"
CheckEqual VarType(d.ValueOf("b")), vbBoolean, "Boolean"
CheckEqual d.ValueOf("b"), True, "True"
CheckEqual VarType(d.ValueOf("s")), vbString, "empty text"
Check IsEmpty(d.ValueOf("e")), "Empty"
Check IsNull(d.ValueOf("nul")), "Null"
CheckEqual VarType(d.ValueOf("u")), vbByte, "Byte"
CheckEqual VarType(d.ValueOf("r4")), vbSingle, "Single"
CheckEqual d.ValueOf("Nested").ValueOf("deep"), "x", "nested dictionary"

' Saves merge: each profile object writes only what it changed since its load.
Set p = Loaded(doc)
Set q = Loaded(doc)
p.Dictionary.ValueOf("Sec").SetValue "fromP", 1
p.Save KEY, doc
q.Dictionary.ValueOf("Sec").SetValue "fromQ", 2
q.Dictionary.SetValue "top", "q"
q.Save KEY, doc
Set d = Loaded(doc).Dictionary
CheckEqual d.ValueOf("Sec").ValueOf("fromP"), 1, "an earlier save by another object survives a stale one"
CheckEqual d.ValueOf("Sec").ValueOf("fromQ"), 2, "the later save's own change"
CheckEqual d.ValueOf("top"), "q", "a new root entry"
Set p = Loaded(doc)
p.Dictionary.ValueOf("Sec").RemoveEntry "i2"
p.Save KEY, doc
Check IsEmpty(Loaded(doc).Dictionary.ValueOf("Sec").ValueOf("i2")), "removals are saved"
CheckEqual Loaded(doc).Dictionary.ValueOf("Sec").ValueOf("fromQ"), 2, "the rest stays"

' A value a document cannot hold, or a dictionary holding itself: the save
' raises and the stored document is unchanged.
Set p = Loaded(doc)
p.Dictionary.SetValue "top", CreateObject("Scripting.Dictionary")
On Error Resume Next
p.Save KEY, doc
Check Err.Number <> 0, "an unstorable object raises"
Err.Clear
Set p = Loaded(doc)
Set d = CreateObject("Pyx.Dictionary")
d.SetObject "me", d
p.Dictionary.SetObject "loop", d
p.Save KEY, doc
Check Err.Number <> 0, "a dictionary holding itself raises"
Err.Clear
d.RemoveEntry "me"
On Error GoTo 0
CheckEqual Loaded(doc).Dictionary.ValueOf("top"), "q", "the document is unchanged"

' Names cannot reach outside the profile directory.
Set sh = CreateObject("WScript.Shell")
Set fso = CreateObject("Scripting.FileSystemObject")
Set p = Loaded("..\..\escape-" & doc)
p.Dictionary.SetValue "k", 1
p.Save KEY, "..\..\escape-" & doc
CheckEqual Loaded("..\..\escape-" & doc).Dictionary.ValueOf("k"), 1, "a name with path parts is a document too"
path = Replace(sh.ExpandEnvironmentStrings("%USERPROFILE%"), Chr(0), "")
Check Not fso.FileExists(path & "\escape-" & doc & ".pyx"), "nothing written above the profile directory"

' A damaged document is moved aside whole, beside it, and loads as a new one.
path = path & "\QelBase Profiles\" & KEY & "#" & doc & ".pyx"
Check fso.FileExists(path), "the document file is in the profile directory"
Set t = fso.OpenTextFile(path, 1)
whole = t.ReadAll
t.Close
Set t = fso.OpenTextFile(path, 2)
t.Write Left(whole, Len(whole) - 3)
t.Close
CheckEqual Loaded(doc).Dictionary.EntryCount, 0, "a cut-off document loads as a new, empty one"
Check Not fso.FileExists(path), "its file is moved, and nothing written before a save"
Set t = fso.OpenTextFile(path & ".damaged", 1)
CheckEqual t.ReadAll, Left(whole, Len(whole) - 3), "the cut-off text kept aside unchanged"
t.Close
Set t = fso.OpenTextFile(path, 2, True)
t.Write whole
t.Close
CheckEqual Loaded(doc).Dictionary.ValueOf("top"), "q", "the restored document loads"
Set t = fso.OpenTextFile(path, 8)
t.Write "garbage"
t.Close
Set p = Loaded(doc)
CheckEqual p.Dictionary.EntryCount, 0, "a document with garbage after its end loads as a new one"
p.Dictionary.SetValue "after", 1
p.Save KEY, doc
Set q = Loaded(doc)
q.Dictionary.SetValue "later", 2
Set t = fso.OpenTextFile(path, 2)
t.Write "damaged after the load"
t.Close
q.Save KEY, doc
Set d = Loaded(doc).Dictionary
CheckEqual d.EntryCount & " " & d.ValueOf("after") & " " & d.ValueOf("later"), "2 1 2", _
    "a save that finds the document damaged writes all its object holds"
kept = ""
For Each v In fso.GetFolder(fso.GetParentFolderName(path)).Files
    If Left(v.Name, Len(KEY & "#" & doc & ".pyx.")) = KEY & "#" & doc & ".pyx." And Right(v.Name, 8) = ".damaged" Then
        kept = kept & "|" & v.Path
    End If
Next
n = 0
For Each v In Split(Mid(kept, 2), "|")
    Set t = fso.OpenTextFile(v, 1)
    text = t.ReadAll
    t.Close
    If text = Left(whole, Len(whole) - 3) Then n = n + 1
    If text = whole & "garbage" Then n = n + 10
    If text = "damaged after the load" Then n = n + 100
    fso.DeleteFile v
Next
CheckEqual n, 111, "each damaged text kept whole, the later ones under other names"
p.Remove KEY, doc
CheckEqual Loaded(doc).Dictionary.EntryCount, 0, "a removed document loads empty"
