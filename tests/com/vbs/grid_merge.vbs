' Grid row merging against recording grids of both styles (Grid: helpers.vbs).
' A V5 grid merges through its Merge object and keeps its fixed rows in its
' Face object; both are recording grids here.
Class GridV5
    Public Merge
    Public Face
    Private Sub Class_Initialize()
        Set Merge = New Grid
        Set Face = New Grid
    End Sub
End Class

Class GridWithoutMerge
    Public Log
    Public Sub UnmergeAll()
        Log = "U;"
    End Sub
End Class

' Grids are plain variables (a VARIANT by reference holding the object); one
' in parentheses (a copy) works the same.
Dim f, g, v, h
Set f = CreateObject("VemoFunction.VemoFuns")

Set g = New Grid
CheckEqual f.MergeRowData(g, 0, "A|B|C|"), "A|B|C|", "unmarked row unchanged"
CheckEqual g.Log, "U;", "merges cleared, nothing merged"

Set g = New Grid
CheckEqual f.MergeRowData(g, 2, "A+|B+|C|"), "A|B|C|", "marks removed"
CheckEqual g.Log, "U;M2,1,2,3;", "row 2 columns 1 to 3"

Set g = New Grid
f.MergeRowData g, 1, "A+|B|C+|D|"
CheckEqual g.Log, "U;M1,1,1,2;M1,3,1,4;", "two runs"

Set g = New Grid
CheckEqual f.MergeRowData((g), 0, "A+||B|"), "A||B|", "empty cell closes the run"
CheckEqual g.Log, "U;M0,1,0,2;", "run of two"

Set g = New Grid
CheckEqual f.MergeRowData(g, 0, "X$|Y|"), "X|Y|", "downward mark removed"
CheckEqual g.FixedRows, 1, "fixed rows raised to Row + 1"
CheckEqual g.Log, "U;M0,1,1,1;", "rows 0 to 1 of column 1"
Set g = New Grid
g.FixedRows = 3
f.MergeRowData g, 0, "X$|Y|"
CheckEqual g.FixedRows, 3, "fixed rows kept when already enough"

Set g = New Grid
f.MergeRowData g, 0, "A+|B$|C|"
CheckEqual g.Log, "U;M0,2,1,2;M0,1,0,3;", "downward cell does not end the run"

Set g = New Grid
CheckEqual f.MergeRowData(g, 0, "A+|"), "A|", "open run at the end"
CheckEqual g.Log, "U;", "open run not merged"
Set g = New Grid
CheckEqual f.MergeRowData(g, 0, "A,B,"), "A,B,", "comma separator"
CheckEqual f.MergeRowData(g, 0, "A|B"), "A|B", "last character is the separator"
Set g = New Grid
CheckEqual f.MergeRowData(g, 0, ""), "", "empty row data"
CheckEqual g.Log, "U;", "merges cleared for empty data"

Set v = New GridV5
CheckEqual f.MergeRowDataV5(v, 2, "A+|B$|C|"), "A|B|C|", "V5 text"
CheckEqual v.Merge.Log, "U;C2,2,3,2;C2,1,2,3;", "V5 merges through the Merge object's MergeCell"
CheckEqual v.Face.Log, "", "V5 merges nothing through the Face object"
CheckEqual v.Face.FixedRows, 3, "V5 fixed rows through the Face object"

Set h = New GridWithoutMerge
On Error Resume Next
f.MergeRowData h, 0, "A+|B|"
Check Err.Number <> 0, "a grid without Merge raises"
Err.Clear
On Error GoTo 0
CheckEqual h.Log, "U;", "merges cleared before the failure stay cleared"
