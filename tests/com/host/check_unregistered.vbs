' With the user profile component unregistered every settings member gives
' its neutral result and raises nothing.
Dim f, v, r, d
Set f = CreateObject("VemoFunction.IniFile")
On Error Resume Next
v = f.GetSet("Main", "k", CInt(3))
CheckEqual Err.Number, 0, "GetSet raises nothing"
CheckEqual v, CInt(3), "GetSet gives the default"
v = f.GetSet("Main", "k")
CheckEqual v, "", "GetSet gives the omitted default"
Err.Clear
r = f.SaveSet("Main", "k", 1)
CheckEqual Err.Number, 0, "SaveSet raises nothing"
CheckEqual r, False, "SaveSet gives False"
Err.Clear
Set d = f.GetAllSetToDict("Main")
CheckEqual Err.Number, 0, "GetAllSetToDict raises nothing"
Check d Is Nothing, "GetAllSetToDict gives Nothing"
Err.Clear
Set d = f.GetAllSet("Main")
CheckEqual Err.Number, 0, "GetAllSet raises nothing"
Check d Is Nothing, "GetAllSet gives Nothing"
CheckEqual f.Keys.Count, 0, "Keys stays empty"
Err.Clear
CheckEqual f.IniFileName, "DAZSystem.INI", "the object keeps working"
On Error GoTo 0
