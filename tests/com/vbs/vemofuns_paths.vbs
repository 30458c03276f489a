' VemoFuns created by ProgID, called late-bound: paths, computer name, processes.
Dim f, shell, t0, n
Set f = CreateObject("VemoFunction.VemoFuns")

CheckEqual f.GetFullPathName("C:\Temp"), "C:\Temp\", "backslash appended"
CheckEqual f.GetFullPathName("C:\Temp\"), "C:\Temp\", "trailing backslash kept"
CheckEqual f.GetFullPathName(""), "\", "empty path gives a lone backslash"
CheckEqual f.GetFullPathName("C:/Temp/"), "C:/Temp/\", "forward slash is no separator"

CheckEqual LCase(f.WinPath), "c:\windows\", "Windows directory with its backslash"
CheckEqual LCase(f.WinSysPath), "c:\windows\system32\", "system directory with its backslash"
CheckEqual f.AppSystemPath, f.WinSysPath & "System\", "application path is the system path and System\"
CheckEqual Right(f.WinPath, 1), "\", "WinPath ends in a backslash"

n = f.GetLocalComputerName()
Check Len(n) > 0 And Len(n) <= 16, "computer name present and at most 16 characters: [" & n & "]"
Check n = Trim(n), "computer name without blanks"
Set shell = CreateObject("WScript.Shell")
CheckEqual UCase(n), UCase(shell.ExpandEnvironmentStrings("%COMPUTERNAME%")), "computer name as the system reports it"

' A missing program returns at once without an error.
On Error Resume Next
f.ExecCmd "Z:\no\such\program.exe"
Check Err.Number = 0, "ExecCmd of a missing program raises nothing"
On Error GoTo 0

' ExecCmd waits for the child: ping -n 3 takes about two seconds under Wine.
t0 = Timer
f.ExecCmd "cmd.exe /c ping -n 3 127.0.0.1 >NUL"
Check Timer - t0 >= 1.5, "ExecCmd returned only after the child ended (" & (Timer - t0) & " s)"

' An unknown member raises an error; a member not built yet says so.
On Error Resume Next
f.NoSuchMember 1
Check Err.Number <> 0, "unknown member raises"
Err.Clear
On Error GoTo 0
