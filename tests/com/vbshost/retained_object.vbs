' The leak check's control case: a library object kept past the script's
' end must be reported, or the check could never fail.
Dim funs
Set funs = CreateObject("VemoFunction.VemoFuns")
WScript.Retain funs
WScript.Echo "1 passed, 0 failed"
