' A short session with the library, as an inventory form would hold it.
Dim f
Set f = CreateObject("VemoFunction.VemoFuns")
WScript.Echo "VemoFunction.VemoFuns created by ProgID"
WScript.Echo "  Windows path:            " & f.WinPath
WScript.Echo "  system path:             " & f.WinSysPath
WScript.Echo "  application system path: " & f.AppSystemPath
WScript.Echo "  computer name:           " & f.GetLocalComputerName()
WScript.Echo "  GetFullPathName(""C:\Temp""): " & f.GetFullPathName("C:\Temp")
WScript.Echo "  AddStrNum(""BILL009""):   " & f.AddStrNum("BILL009")
WScript.Echo "  GetString(""a|b|c"", 2):  " & f.GetString("a|b|c", 2)
WScript.Echo "  GetComString(MakeComString(""head"", ""tail"")): " & f.GetComString(f.MakeComString("head", "tail"))
