' A name assigned without Dim in a procedure is the procedure's own variable, unless a
' global of that name exists when the statement runs; in a method, a class member wins.
Sub SetX() : x = 5 : End Sub
SetX
WScript.Echo "[" & x & "]"
y = 1
Sub SetY() : y = 7 : End Sub
SetY
WScript.Echo y
Sub Count()
  z = z + 1
  WScript.Echo "count", z
End Sub
Count
z = 10
Count
WScript.Echo z
Function Digits()
  For i = 1 To 3 : s = s & i : Next
  Digits = s
End Function
WScript.Echo Digits(), "[" & i & s & "]"
Class Holder
  Public m
  Sub Fill() : m = "member" : n = "local" : End Sub
End Class
Set o = New Holder : o.Fill
WScript.Echo o.m, "[" & n & "]"
Sub Later() : w = "global now" : End Sub
ExecuteGlobal "w = 1"
Later
WScript.Echo w
