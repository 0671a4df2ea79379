Option Explicit
Dim g : g = "global"
Private p : p = "private module"
Public q : q = "public module"
Const Answer = 42
Sub Show()
  Dim g : g = "local"
  WScript.Echo g, p, q, Answer
End Sub
Show
WScript.Echo g
Function Counter()
  Dim n
  n = n + 1
  Counter = n
End Function
WScript.Echo Counter(), Counter()
Sub Nested()
  Dim i, total
  For i = 1 To 3
    total = total + Helper(i)
  Next
  WScript.Echo "total", total
End Sub
Function Helper(x) : Helper = x * x : End Function
Nested
Sub ByRefArray(arr) : arr(0) = "changed" : End Sub
Dim data(1) : data(0) = "orig"
ByRefArray data
WScript.Echo data(0)
Sub ByValArray(ByVal arr) : arr(0) = "not seen" : End Sub
ByValArray data
WScript.Echo data(0)
Function MakeArray() : MakeArray = Array(1, 2, 3) : End Function
WScript.Echo UBound(MakeArray()), MakeArray()(2)
On Error Resume Next
Answer = 1
WScript.Echo "const error", Err.Number
