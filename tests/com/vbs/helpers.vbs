' Helpers of every script run against the library: scripts/run-vbs puts
' this file (then assert.vbs) in front of each test script, and
' scripts/demo-session in front of the demo session. It holds what both use:
' the environment of the run and the stand-ins of a form's grid and toolbar.
Option Explicit

' An environment variable of the run. Wine's ExpandEnvironmentStrings
' returns the text with its terminating NUL character; it is dropped here.
Function Env(name)
    Dim s
    s = CreateObject("WScript.Shell").ExpandEnvironmentStrings("%" & name & "%")
    If Len(s) > 0 Then
        If Right(s, 1) = Chr(0) Then s = Left(s, Len(s) - 1)
    End If
    If s = "%" & name & "%" Then s = ""
    Env = s
End Function

' A grid that records what the library asks of it: "U;" for UnmergeAll,
' "M<r1>,<c1>,<r2>,<c2>;" for the grid's own Merge and "C...;" for MergeCell,
' the merge part of the V5 grid (which holds a Grid as its Merge object).
Class Grid
    Public Log
    Public FixedRows
    Private Sub Class_Initialize()
        Log = ""
        FixedRows = 0
    End Sub
    Public Sub UnmergeAll()
        Log = Log & "U;"
    End Sub
    Public Sub Merge(r1, c1, r2, c2)
        Log = Log & "M" & r1 & "," & c1 & "," & r2 & "," & c2 & ";"
    End Sub
    Public Sub MergeCell(r1, c1, r2, c2)
        Log = Log & "C" & r1 & "," & c1 & "," & r2 & "," & c2 & ";"
    End Sub
End Class

' A toolbar button: its label and the description SetToolBarLable copies.
Class Button
    Public Caption
    Public Description
End Class

Function NewButton(description)
    Dim b
    Set b = New Button
    b.Caption = "old"
    b.Description = description
    Set NewButton = b
End Function

' A toolbar whose buttons are a dictionary; it records each read ("get;")
' and write ("let <value>;") of Visible. Show sets its visibility quietly
' and empties the record.
Class Toolbar
    Public Buttons
    Public Log
    Private shown
    Private Sub Class_Initialize()
        Set Buttons = CreateObject("Scripting.Dictionary")
        Log = ""
        shown = True
    End Sub
    Public Property Get Visible()
        Log = Log & "get;"
        Visible = shown
    End Property
    Public Property Let Visible(v)
        Log = Log & "let " & CStr(v) & ";"
        shown = v
    End Property
    Public Sub Show(v)
        shown = v
        Log = ""
    End Sub
End Class
