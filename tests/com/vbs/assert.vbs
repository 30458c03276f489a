' Shared assertions of the VBScript tests (prepended by scripts/run-vbs).
Option Explicit
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

Sub CheckEqual(actual, expected, what)
    If TypeName(actual) = TypeName(expected) And actual = expected Then
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
