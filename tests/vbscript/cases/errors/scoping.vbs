' On Error Resume Next holds for the procedure that set it, not for its callers.
Sub Quiet()
  On Error Resume Next
  Dim x : x = 1 / 0
  WScript.Echo "quiet saw", Err.Number
End Sub
Sub Loud()
  Dim x : x = 1 / 0
  WScript.Echo "loud not reached"
End Sub
Quiet
WScript.Echo "top continues"
On Error Resume Next
Loud
WScript.Echo "loud failed with", Err.Number
On Error GoTo 0
WScript.Echo "err cleared", Err.Number
Class Fragile
  Private Sub Class_Initialize()
    Err.Raise 5000, "Fragile", "cannot build"
  End Sub
End Class
On Error Resume Next
Set f = New Fragile
WScript.Echo Err.Number, Err.Description, IsEmpty(f)
On Error GoTo 0
Set f = New Fragile
WScript.Echo "not reached"
