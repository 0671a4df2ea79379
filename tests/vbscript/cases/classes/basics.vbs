Class Point
  Public X, Y
  Private secret
  Private Sub Class_Initialize()
    X = 0 : Y = 0 : secret = "hidden"
    WScript.Echo "init"
  End Sub
  Private Sub Class_Terminate()
    WScript.Echo "terminate", X, Y
  End Sub
  Public Function Length()
    Length = Sqr(X * X + Y * Y)
  End Function
  Public Default Property Get Text()
    Text = "(" & X & ", " & Y & ")"
  End Property
  Public Property Let Both(v)
    X = v : Y = v
  End Property
  Public Function Copy()
    Dim p : Set p = New Point
    p.X = X : p.Y = Y
    Set Copy = p
  End Function
  Function Peek(other)
    Peek = other.secret
  End Function
End Class
Dim p
Set p = New Point
p.X = 3 : p.Y = 4
WScript.Echo p.Length(), p, p.Text, TypeName(p)
p.Both = 2
WScript.Echo p
Set q = p.Copy()
q.X = 9
WScript.Echo p, q, p.Peek(q)
Set q = Nothing
WScript.Echo "after q"
On Error Resume Next
WScript.Echo p.secret
WScript.Echo Err.Number, Err.Description
Err.Clear
p.Missing 1
WScript.Echo Err.Number
On Error GoTo 0
Set p = Nothing
WScript.Echo "end"
