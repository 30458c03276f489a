' IniFile.Keys and GetAllSet: one collection for the object's life, emptied
' and refilled per call, Nothing for a missing section or a clashing name.
Dim f, k, c, c2, item, names, doc, r, stamp
stamp = CStr(Int(Timer * 100)) & CStr(Int(Rnd * 100000))
Set f = CreateObject("VemoFunction.IniFile")
doc = "keys-" & stamp & ".INI"
f.IniFileName = doc

Set k = f.Keys
CheckEqual k.Count, 0, "a new object's Keys is empty"
Check f.Keys Is k, "Keys is the same object on every read"

r = f.SaveSet("Layout", "Left", CInt(10))
r = f.SaveSet("Layout", "Top", CLng(20))
r = f.SaveSet("Layout", "Title", "Stock")
Set c = f.GetAllSet("  Layout  ")
Check Not c Is Nothing, "the trimmed section is found"
Check c Is k, "the result is the Keys collection itself"
CheckEqual c.Count, 3, "every entry of the section"
CheckEqual c(1), 10, "first entry first"
CheckEqual VarType(c(1)), vbInteger, "values keep their type"
CheckEqual c("Top"), 20, "values under their setting names"
CheckEqual c("title"), "Stock", "names compare without regard to case"
names = ""
For Each item In c
    names = names & item & ";"
Next
CheckEqual names, "10;20;Stock;", "enumerated in the dictionary's order"

Set c2 = f.GetAllSet("Layout")
Check c2 Is c, "two calls return the same collection"
CheckEqual c.Count, 3, "refilled, not appended to"

' A missing section: Nothing, and Keys emptied all the same.
Check f.GetAllSet("NoSuchSection") Is Nothing, "a missing section gives Nothing"
CheckEqual k.Count, 0, "Keys is empty after a missing section"

' An existing but empty section is the empty collection, not Nothing. The
' library never makes one (SaveSet stores a setting with the section), so
' the profile component stores an empty section dictionary itself.
Dim profile
r = f.SaveSet("One", "only", "x")
Set c = f.GetAllSet("One")
CheckEqual c.Count, 1, "a section saved once holds that one entry"
Set profile = CreateObject("QelBase.UserProfile")
profile.Load "VemoFunction.IniFile", doc
profile.Dictionary.SetObject "Empty", CreateObject("Pyx.Dictionary")
profile.Save "VemoFunction.IniFile", doc
Set profile = Nothing
Set c = f.GetAllSet(" Empty ")
Check Not c Is Nothing, "an empty section gives a collection"
Check c Is k, "the Keys collection itself"
CheckEqual k.Count, 0, "emptied, with nothing added"

' The spaced name is stored as given, so GetAllSet (which trims) misses it.
r = f.SaveSet(" Spaced ", "v", "s")
CheckEqual f.GetSet(" Spaced ", "v", ""), "s", "GetSet uses the name unchanged"
Check f.GetAllSet(" Spaced ") Is Nothing, "GetAllSet looks for the trimmed name"

' Two names that differ only in case clash as collection keys.
r = f.SaveSet("Clash", "Name", "a")
r = f.SaveSet("Clash", "before", "b")
r = f.SaveSet("Clash", "NAME", "c")
Set c = f.GetAllSet("Clash")
Check c Is Nothing, "a clashing name gives Nothing"
CheckEqual k.Count, 2, "Keys holds the entries before the clash"
CheckEqual k("Name"), "a", "the first of the clashing pair"

' Keys outlives the object that made it, as a reference the caller holds.
Set f = Nothing
CheckEqual k.Count, 2, "a kept Keys stays usable"
