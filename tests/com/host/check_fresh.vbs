' After holder.vbs and a saver made the same new section "Fresh" between the
' holder's Load and Save: the entries of both are there (a1, a2, b1, b2, b3),
' the holder's value where both set one.
Dim f
Set f = HostDocument()
CheckedSection f, "Fresh", 5
CheckEqual f.GetSet("Fresh", "a1", 0) & " " & f.GetSet("Fresh", "a2", 0), "1 2", "the holder's own settings"
CheckEqual f.GetSet("Fresh", "b1", 0) & " " & f.GetSet("Fresh", "b3", 0), "1 3", "the other process's settings survive"
CheckEqual f.GetSet("Fresh", "b2", ""), "held", "the later saver's value of a setting both made"
