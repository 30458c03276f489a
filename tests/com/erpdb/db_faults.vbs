' Database calls while the server goes away and comes back: every call
' answers either its value or its neutral result, quickly, and never
' raises; once the server is back the calls succeed again. Talks to
' db_faults_test.sh through marker files in VEMO_FAULT_DIR.
Dim f, caller, fso, dir, start, worst, t, rounds, phase, a, b, c, d, okRound, downRound, mixed
Set f = CreateObject("VemoFunction.VemoFuns")
Set caller = CreateObject("ADODB.Connection")
caller.ConnectionString = Env("VEMO_PG_ODBC")
Set fso = CreateObject("Scripting.FileSystemObject")
dir = Env("VEMO_FAULT_DIR")

Sub Mark(name)
    fso.CreateTextFile(dir & "\" & name, True).Close
End Sub

' phase 0: before the stop, 1: server down seen, 2: back up seen
phase = 0
worst = 0
mixed = 0
start = Timer
Do While phase < 2 And Timer - start < 120
    t = Timer
    a = f.GetICBillNo(1, caller)
    b = f.GetFOperate("AB", caller)
    c = f.PeriodFromDate(DateSerial(2026, 5, 1), caller)
    d = f.GetICMaxNum("faults", caller)
    If Timer - t > worst Then worst = Timer - t
    okRound = (Left(a, 3) = "OUT" And b = 3 And c = 5 And d > 0)
    downRound = (a = "" And b = -1 And c = -1 And d = -1)
    If Not okRound And Not downRound Then mixed = mixed + 1
    If phase = 0 And okRound Then
        Mark "up"
    ElseIf phase = 0 And downRound Then
        phase = 1
        Mark "down"
    ElseIf phase = 1 And okRound Then
        phase = 2
    End If
Loop
CheckEqual phase, 2, "the calls saw the server go and come back (last: " & a & ", " & b & ", " & c & ", " & d & ")"
Check worst < 30, "no round of four calls took long: " & worst & " s"
Check mixed <= 2, "rounds are all values or all neutral results, bar the moments of change: " & mixed
Check caller.State = 0, "the caller's connection stayed closed"
