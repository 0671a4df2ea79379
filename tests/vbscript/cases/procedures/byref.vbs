' ByRef reaches variables of every kind; expressions and parentheses pass copies.
Sub Twice(ByRef v) : v = v * 2 : End Sub
Dim g : g = 1
Twice g : WScript.Echo "global", g
Sub WithLocal()
  Dim l : l = 3
  Twice l
  WScript.Echo "local", l
End Sub
WithLocal
Class Holder
  Public Field
  Public Sub DoubleField : Twice Field : End Sub
End Class
Set h = New Holder
h.Field = 5
h.DoubleField
WScript.Echo "field through method", h.Field
Twice h.Field
WScript.Echo "property of object (copy)", h.Field
Dim a(2) : a(1) = 7
Twice a(1) : WScript.Echo "element", a(1)
Twice (g) : WScript.Echo "parenthesised", g
Twice g + 0 : WScript.Echo "expression", g
Call Twice(g) : WScript.Echo "call", g
Sub Pass(x) : Twice x : End Sub
Pass g : WScript.Echo "through two levels", g
Function Modify(ByRef s) : s = s & "!" : Modify = Len(s) : End Function
t = "hey"
WScript.Echo Modify(t), t
Sub SetObj(o) : Set o = New Holder : o.Field = "new" : End Sub
Dim obj
SetObj obj
WScript.Echo "object out param", obj.Field
For i = 1 To 3
  Twice i
  WScript.Echo "loop counter", i
Next
