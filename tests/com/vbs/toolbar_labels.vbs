' SetToolBarLable against recording toolbars and buttons (Toolbar, Button,
' NewButton: helpers.vbs) and ones lacking a member: labels copied or
' emptied, visibility restored, failing members skipped, nothing raised.
Class ButtonWithoutDescription
    Public Caption
End Class

Class ButtonWithoutCaption
    Public Description
End Class

' Its Visible cannot be read, only written.
Class ToolbarWithoutVisibleRead
    Public Buttons
    Public Shown
    Private Sub Class_Initialize()
        Set Buttons = CreateObject("Scripting.Dictionary")
        Shown = True
    End Sub
    Public Property Let Visible(v)
        Shown = v
    End Property
End Class

Dim f, t, a, b, c, d, e
Set f = CreateObject("VemoFunction.VemoFuns")

Set t = New Toolbar
Set a = NewButton("Save the bill")
Set b = NewButton("Print")
t.Buttons.Add a, ""
t.Buttons.Add b, ""
f.SetToolBarLable t, True
CheckEqual a.Caption, "Save the bill", "shown: label is the description"
CheckEqual b.Caption, "Print", "shown: every button"
CheckEqual t.Log, "get;let False;let True;", "hidden while relabelling, then visible again"
f.SetToolBarLable t, False
CheckEqual a.Caption, "", "hidden labels: empty"
CheckEqual b.Caption, "", "hidden labels: every button"
CheckEqual a.Description, "Save the bill", "the description is kept"

' A toolbar hidden before the call stays hidden.
t.Show False
f.SetToolBarLable t, True
CheckEqual t.Log, "get;let False;let False;", "hidden toolbar restored hidden"
CheckEqual a.Caption, "Save the bill", "hidden toolbar relabelled all the same"

' No buttons: hidden, then the old visibility.
Set t = New Toolbar
f.SetToolBarLable t, True
CheckEqual t.Log, "get;let False;let True;", "empty toolbar only hidden and restored"

' Buttons lacking a member are skipped; the others are relabelled.
Set t = New Toolbar
Set c = New ButtonWithoutDescription
c.Caption = "kept"
Set d = New ButtonWithoutCaption
d.Description = "no caption"
Set e = NewButton("last")
t.Buttons.Add c, ""
t.Buttons.Add d, ""
t.Buttons.Add e, ""
f.SetToolBarLable t, True
CheckEqual c.Caption, "kept", "button without description left alone"
CheckEqual e.Caption, "last", "button after the failing ones relabelled"
f.SetToolBarLable t, False
CheckEqual c.Caption, "", "emptying needs no description"
CheckEqual e.Caption, "", "emptied after the failing button"

' Visible unreadable: remembered as False, so the toolbar ends hidden.
Dim u
Set u = New ToolbarWithoutVisibleRead
Set a = NewButton("x")
u.Buttons.Add a, ""
f.SetToolBarLable u, True
CheckEqual u.Shown, False, "unreadable Visible ends hidden"
CheckEqual a.Caption, "x", "its buttons relabelled"

' Not even a toolbar: nothing raised.
On Error Resume Next
f.SetToolBarLable Nothing, True
CheckEqual Err.Number, 0, "Nothing raises nothing"
Err.Clear
f.SetToolBarLable (a), True
CheckEqual Err.Number, 0, "an object that is no toolbar raises nothing"
Err.Clear
On Error GoTo 0

' A form variable without parentheses: CenterForm reads its size and moves it.
Class ScriptForm
    Public Width
    Public Height
    Public Moves
    Public Sub Move(x, y)
        Moves = Moves + 1
    End Sub
End Class
Dim frm
Set frm = New ScriptForm
frm.Width = 3000
frm.Height = 2000
frm.Moves = 0
f.CenterForm frm
CheckEqual frm.Moves, 1, "CenterForm of a form variable moves it once"
Check IsObject(frm), "the variable still holds its form"
