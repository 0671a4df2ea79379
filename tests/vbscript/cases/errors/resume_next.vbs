On Error Resume Next
x = 1 / 0
WScript.Echo "after", Err.Number, Err.Description, Err.Source
Err.Clear
WScript.Echo Err.Number, Err.Description = ""
Dim a(1)
a(5) = 1
WScript.Echo Err.Number
Err.Raise 1000, "MySource", "custom text"
WScript.Echo Err.Number, Err.Source, Err.Description
Err.Raise 13
WScript.Echo Err.Number, Err.Description
Err.Raise vbObjectError + 5, "Obj", "object error"
WScript.Echo Err.Number, Err.Number - vbObjectError
On Error GoTo 0
WScript.Echo Err.Number
Sub Inner()
  x = CLng("abc")
  WScript.Echo "not reached"
End Sub
Sub Outer()
  On Error Resume Next
  Inner
  WScript.Echo "outer continues", Err.Number
End Sub
Outer
Sub NoHandler()
  Dim n : n = 1 / 0
End Sub
On Error Resume Next
NoHandler
WScript.Echo "caught from callee", Err.Number
On Error GoTo 0
Err.Number = 5
WScript.Echo Err
