' Truth tables of the logical operators on Booleans and on numbers.
Dim t, f
t = True : f = False
WScript.Echo CStr(t And t), CStr(t And f), CStr(f And f)
WScript.Echo CStr(t Or f), CStr(f Or f)
WScript.Echo CStr(t Xor t), CStr(t Xor f)
WScript.Echo CStr(t Eqv t), CStr(t Eqv f), CStr(f Eqv f)
WScript.Echo CStr(t Imp f), CStr(f Imp f), CStr(f Imp t), CStr(t Imp t)
WScript.Echo 12 And 10, 12 Or 10, 12 Xor 10, 12 Eqv 10, 12 Imp 10, Not 12
WScript.Echo &HFF00 And &H0FF0, TypeName(&HFF00 And &H0FF0), &H10000 Or 1, TypeName(&H10000 Or 1)
WScript.Echo CStr(Not (1 = 1)), CStr(Not 1 = 2), CStr(1 < 2 And 2 < 3), CStr(1 < 2 Or 1 / 1 = 0)
WScript.Echo CStr(IsNull(Null Xor True)), CStr(Null Imp True), CStr(IsNull(True Imp Null)), CStr(False Imp Null)
WScript.Echo "3" And 1, "True" = CStr(True)
' Both sides are always evaluated: no short-circuit.
calls = 0
Function Touch(v) : calls = calls + 1 : Touch = v : End Function
If Touch(False) And Touch(True) Then WScript.Echo "never"
If Touch(True) Or Touch(False) Then WScript.Echo "calls", calls
