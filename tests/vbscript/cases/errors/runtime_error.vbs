WScript.Echo "before"
Sub Fails()
    Dim d
    d = CInt("x")
End Sub
Fails
WScript.Echo "not reached"
