' An object operand stands for its default value on either side of an operator
' and under the unary operators; without one, the operator raises 438.
Class Wrapper
  Public Default Property Get Value : Value = 7 : End Property
End Class
Class NoDefault
  Public V
End Class
Set w = New Wrapper
Set nd = New NoDefault
WScript.Echo -w, Not w, 1 + w, w * w, w = 7, 2 ^ w, w Mod 4, w And 3
Sub Try(label, code)
  On Error Resume Next
  Dim r
  r = Eval(code)
  WScript.Echo label, Err.Number
End Sub
Try "negate", "-nd"
Try "not", "Not nd"
Try "left", "nd + 1"
Try "right", "1 + nd"
Try "is", "nd Is w"
