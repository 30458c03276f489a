' Btns and Btn late-bound: numbering, the first-button mark, the default
' member, For Each, the collection's errors, shared Btn objects.
Dim b, x, y, e, n, ids
Set b = CreateObject("VemoFunction.Btns")

' A new collection is empty and enumerates nothing.
CheckEqual b.Count, 0, "a new Btns is empty"
n = 0
For Each e In b
    n = n + 1
Next
CheckEqual n, 0, "an empty Btns enumerates nothing"

Set x = b.Add("f0.bmp", "s0.bmp", "First", 1, 10, 20, 5)
b.Add "f1.bmp", "s1.bmp", "Second", 0, 11, 21, 6
b.Add "f2.bmp", "s2.bmp", "Third", 0, 12, 22, 7
CheckEqual b.Count, 3, "three adds"
CheckEqual x.ID, 0, "the first button has ID 0"
Check x.BLoad, "the first button ever added is marked"
CheckEqual x.FPicture & "|" & x.SPicture & "|" & x.ToolTip, "f0.bmp|s0.bmp|First", "texts from Add"
CheckEqual x.ISBtn & "|" & x.Left & "|" & x.Top & "|" & x.Opt, "1|10|20|5", "numbers from Add in their places"
Check Not b(2).BLoad, "later buttons are not marked"

ids = ""
For Each e In b
    ids = ids & e.ID & ","
Next
CheckEqual ids, "0,1,2,", "For Each yields the buttons oldest first"

' b(2) is the second button by position, b.Item("2") the button with key "2".
CheckEqual b(2).ID, 1, "b(2) selects by position"
CheckEqual b.Item("2").ID, 2, "b.Item(""2"") selects by key"
CheckEqual b(CDbl(3)).ToolTip, "Third", "a Double selects by position"
CheckEqual b(CByte(1)).ID, 0, "a Byte selects by position"

' Removing key "1": positions move down, keys stay.
b.Remove "1"
CheckEqual b.Count, 2, "Count after removing key 1"
CheckEqual b(2).ID, 2, "position 2 is now ID 2"
Check b(2) Is b.Item("2"), "position 2 and key 2 are the same object"
On Error Resume Next
Set y = b.Item("1")
CheckEqual Err.Number, 5, "key 1 is gone: invalid procedure call or argument"
Check Len(Err.Description) > 0, "the error has a description"
Err.Clear
Set y = b(3)
CheckEqual Err.Number, 9, "position 3 is out of range"
CheckEqual Err.Description, "Subscript out of range", "its description"
Err.Clear
b.Remove 0
CheckEqual Err.Number, 9, "Remove of position 0"
Err.Clear
b.Remove "7"
CheckEqual Err.Number, 5, "Remove of an unknown key"
Err.Clear
On Error GoTo 0
CheckEqual b.Count, 2, "failed removals change nothing"

Set y = b.Add("f3.bmp", "s3.bmp", "Fourth", 0, 0, 0, 0)
CheckEqual y.ID, 3, "the next add gets ID 3"
CheckEqual b.Item("3").ToolTip, "Fourth", "under key 3"

' Removing the first button does not make a later one the first.
b.Remove "0"
Set y = b.Add("f4.bmp", "s4.bmp", "Fifth", 0, 0, 0, 0)
Check Not y.BLoad, "a button added after removing the first is not marked"
CheckEqual y.ID, 4, "and numbering goes on"
Check x.BLoad, "the removed first button keeps its mark"

' Shared objects: a change through one reference is seen through the other,
' also after Remove.
b.Item("4").Top = 99
CheckEqual y.Top, 99, "a change through Item is seen by the holder"
y.ToolTip = "Changed"
CheckEqual b(b.Count).ToolTip, "Changed", "a change by the holder is seen through Item"
b.Remove "4"
y.Left = 7
CheckEqual y.Left, 7, "a removed button lives on with its holder"
x.ToolTip = "Kept"
CheckEqual x.ToolTip, "Kept", "so does the removed first button"

' Removing every button while enumerating.
n = 0
For Each e In b
    n = n + 1
    b.Remove 1
Next
CheckEqual n, 2, "For Each visits each remaining button once while they are removed"
CheckEqual b.Count, 0, "all removed"
