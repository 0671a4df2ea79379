' Each text is compiled by Execute; the compile error comes back as a run-time error.
Sub Compile(code)
  On Error Resume Next
  ExecuteGlobal code
  WScript.Echo Err.Number, Err.Description
End Sub
Compile "If x Then" & vbLf & "y = 1"
Compile "If x y = 1"
Compile "For i = 1 To 2" & vbLf & "Loop"
Compile "Do" & vbLf & "Next"
Compile "x = (1 + 2"
Compile "Dim a, a"
Compile "Exit For"
Compile "MsgBox(""a"", 1)"
Compile "x = 1 +"
Compile "Sub S(a, a) : End Sub"
Compile "Class C" & vbLf & "x = 1" & vbLf & "End Class"
Compile "Const"
Compile "x = ""open"
Compile "x = 1 @ 2"
Compile "Select Case 1" & vbLf & "x = 1" & vbLf & "End Select"
Compile "While True"
Compile "Function F()" & vbLf & "End Sub"
Compile "Property Get P : End Property"
Compile "x = Me"
Compile "Option Explicit"
