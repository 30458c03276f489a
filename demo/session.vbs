' A short session with the library, as an inventory form would hold it.
Dim f
Set f = CreateObject("VemoFunction.VemoFuns")
WScript.Echo "VemoFunction.VemoFuns created by ProgID"
WScript.Echo "  Windows path:            " & f.WinPath
WScript.Echo "  system path:             " & f.WinSysPath
WScript.Echo "  application system path: " & f.AppSystemPath
WScript.Echo "  computer name:           " & f.GetLocalComputerName()
WScript.Echo "  GetFullPathName(""C:\Temp""): " & f.GetFullPathName("C:\Temp")
