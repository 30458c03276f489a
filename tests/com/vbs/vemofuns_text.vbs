' String and null utilities and the password form, late-bound.
Dim f, s, a, z
Set f = CreateObject("VemoFunction.VemoFuns")

Check f.IsNull(Null), "IsNull(Null)"
Check f.IsNull(""), "IsNull of the empty text"
Check f.IsNull("   "), "IsNull of blanks"
Check Not f.IsNull(Empty), "Empty is not null"
Check Not f.IsNull(0), "0 is not null"
Check Not f.IsNull(vbTab), "a tab is not a blank"

CheckEqual f.CNulls("   "), "", "CNulls of blanks gives the default empty text"
CheckEqual f.CNulls(Null, 0), 0, "CNulls of Null with 0"
Check IsEmpty(f.CNulls(Empty)), "CNulls of Empty is Empty"
CheckEqual f.CNulls(5), 5, "CNulls passes a number through"
CheckEqual f.CNulls(CByte(7), "x"), CByte(7), "CNulls keeps the value's type"

CheckEqual f.AddStrNum("ABC"), "ABC1", "AddStrNum ABC"
CheckEqual f.AddStrNum("ABC9"), "ABC10", "AddStrNum ABC9"
CheckEqual f.AddStrNum("BILL009"), "BILL10", "AddStrNum BILL009"
CheckEqual f.AddStrNum("123"), "124", "AddStrNum 123"
CheckEqual f.AddStrNum(""), "1", "AddStrNum of the empty text"
CheckEqual f.AddStrNum("A-5"), "A-4", "the sign belongs to the tail"
CheckEqual f.AddStrNum("X1.5"), "X2.5", "decimal tail"
s = "K7"
' A VBScript variable is a VARIANT: it goes to the by-reference text in parentheses.
CheckEqual f.AddStrNum((s)), "K8", "AddStrNum of a variable"
CheckEqual s, "K7", "AddStrNum leaves its argument unchanged"
On Error Resume Next
z = f.AddStrNum(String(32768, "A"))
CheckEqual Err.Number, 6, "over 32767 characters raises overflow"
Check InStr(Err.Description, "Overflow") > 0, "overflow described: " & Err.Description
Err.Clear
On Error GoTo 0
CheckEqual Len(f.AddStrNum(String(32767, "A"))), 32768, "32767 characters accepted"

s = f.MakeComString("abc", "xyz")
CheckEqual Len(s), 503, "combined string length"
CheckEqual Left(s, 3) & "|" & Mid(s, 498, 6), "abc|   xyz", "first part padded"
CheckEqual f.GetComString(s), "xyz", "second text back"
CheckEqual Len(f.MakeComString(String(600, "q"), "")), 500, "first text cut to 500"
CheckEqual f.GetComString(String(499, "a")), "", "short combined string"

CheckEqual f.GetString("a|b|c"), "a", "GetString default place and separator"
CheckEqual f.GetString("a|b|c", 2), "b", "place 2"
CheckEqual f.GetString("a|b|c", 3), "c", "place 3"
CheckEqual f.GetString("a|b|c", 4), "", "place 4"
CheckEqual f.GetString("a|b|c", 0), "", "place 0"
CheckEqual f.GetString("a::b", 2, "::"), "b", "two-character separator"
CheckEqual f.GetString("a|b", 1, ""), "", "empty separator"

Check Not f.ISIncludeChinese("plain"), "ASCII has no double-byte character"
Check Not f.ISIncludeChinese(""), "empty text"
Check f.ISIncludeChinese("a" & Chr(0) & "b"), "a zero character stops the byte count"

a = f.GeneratePwd("", "", 0)
CheckEqual VarType(a), 8192 + 17, "byte array"
' (Wine's VBScript cannot index byte arrays; their bounds and bytes are
' checked by the C++ tests.)
CheckEqual VarType(f.GeneratePwd("user", "pwd")), 8192 + 17, "default user number accepted"
CheckEqual VarType(f.GeneratePwd(String(33, "u"), "")), 8, "a name over 32 bytes gives the empty text"
CheckEqual f.GeneratePwd(String(33, "u"), ""), "", "the empty text itself"
CheckEqual VarType(f.GeneratePwd(String(32, "u"), String(64, "p"))), 8192 + 17, "32 and 64 bytes succeed"
CheckEqual VarType(f.GeneratePwd("", String(65, "p"))), 8, "a password over 64 bytes gives the empty text"

' Plain variables (VARIANTs by reference) give what their values give, for
' every kind a script variable holds.
Dim values, kinds, i, v, d, p, sep
values = Array("x", "   ", "", 5, CByte(7), CInt(-3), 2.5, CCur(1.25), #2023-01-02#, True, Null, Empty)
For i = 0 To UBound(values)
    v = values(i)
    d = "default"
    kinds = TypeName(values(i))
    If IsNull(values(i)) Then
        Check IsNull(f.CNulls(v, d)) = False, "CNulls of a Null variable gives the default"
        CheckEqual f.CNulls(v, d), "default", "CNulls of a Null variable"
    ElseIf f.IsNull(values(i)) Then
        CheckEqual f.CNulls(v, d), "default", "CNulls of a blank variable: " & kinds
    Else
        CheckEqual TypeName(f.CNulls(v, d)), kinds, "CNulls of a variable keeps its kind: " & kinds
        If Not IsEmpty(values(i)) Then CheckEqual f.CNulls(v, d), values(i), "CNulls of a variable: " & kinds
    End If
    CheckEqual f.IsNull(v), f.IsNull(values(i)), "IsNull of a variable: " & kinds
    CheckEqual TypeName(v), kinds, "the variable is left as it was: " & kinds
Next
s = "a,b,c" : p = 2 : sep = ","
CheckEqual f.GetString(s, p, sep), "b", "GetString of variables"
p = "3"
CheckEqual f.GetString(s, p, sep), "c", "a text variable for the place"
s = "abc" : z = "xyz"
CheckEqual f.GetComString(f.MakeComString(s, z)), "xyz", "MakeComString of variables"
s = "K7"
CheckEqual f.AddStrNum(s), "K8", "AddStrNum of a text variable"
CheckEqual s, "K7", "the variable is not counted up"
s = 41
CheckEqual f.AddStrNum(s), "42", "AddStrNum of a number variable"
CheckEqual s, 41, "a number variable keeps its value and kind"
