' Shared assertions and helpers of the VBScript tests (scripts/run-vbs
' prepends helpers.vbs, then this file).
Dim gPassed, gFailed
gPassed = 0
gFailed = 0

Sub Check(cond, what)
    If cond Then
        gPassed = gPassed + 1
    Else
        gFailed = gFailed + 1
        WScript.Echo "FAIL: " & what
    End If
End Sub

Function IsNumber(v)
    Dim t
    t = VarType(v)
    IsNumber = (t >= 2 And t <= 6) Or t = 14 Or t = 17
End Function

' Equal values of the same kind: numbers of any width compare by value, other
' values must also have the same type.
Sub CheckEqual(actual, expected, what)
    Dim same
    If IsNumber(actual) And IsNumber(expected) Then
        same = (actual = expected)
    Else
        same = (TypeName(actual) = TypeName(expected))
        If same Then same = (actual = expected)
    End If
    If same Then
        gPassed = gPassed + 1
    Else
        gFailed = gFailed + 1
        WScript.Echo "FAIL: " & what & ": got [" & actual & "] (" & TypeName(actual) & "), expected [" & expected & "] (" & TypeName(expected) & ")"
    End If
End Sub

Sub Summary()
    WScript.Echo gPassed & " passed, " & gFailed & " failed"
    WScript.Quit gFailed
End Sub
