' Converting an object converts its default value. Without a default the
' conversion is a type mismatch; Nothing is an object that is not set.
Class Wrapper
  Public Default Property Get Value : Value = "2.5" : End Property
End Class
Class NoDefault
  Public V
End Class
Set w = New Wrapper
WScript.Echo CStr(w), CDbl(w) * 2, CBool(w), CLng(w)
Sub Try(label, code)
  On Error Resume Next
  Dim r
  r = Eval(code)
  WScript.Echo label, Err.Number
End Sub
Try "CStr", "CStr(New NoDefault)"
Try "CDbl", "CDbl(New NoDefault)"
Try "CBool", "CBool(New NoDefault)"
Try "CStr Nothing", "CStr(Nothing)"
