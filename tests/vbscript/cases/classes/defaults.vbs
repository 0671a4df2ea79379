Class Table
  Private m_cells
  Private Sub Class_Initialize : Set m_cells = CreateObject("Scripting.Dictionary") : End Sub
  Public Default Property Get Cell(r, c)
    Dim k : k = r & "," & c
    If m_cells.Exists(k) Then Cell = m_cells(k) Else Cell = "."
  End Property
  Public Property Let Cell(r, c, v) : m_cells(r & "," & c) = v : End Property
  Public Property Get Count : Count = m_cells.Count : End Property
End Class
Set t = New Table
t(1, 2) = "x"
t.Cell(2, 2) = "y"
WScript.Echo t(1, 2), t(2, 2), t(3, 3), t.Count
Class Greeter
  Public Default Function Greet(name) : Greet = "Hello, " & name : End Function
End Class
Set g = New Greeter
WScript.Echo g("Ann"), g.Greet("Bob")
Class Wrapper
  Public Default Property Get Value : Value = 7 : End Property
End Class
Set w = New Wrapper
x = w
WScript.Echo x, w + 1, w & "!", CStr(w), TypeName(x)
Class NoDefault
  Public V
End Class
Set nd = New NoDefault
On Error Resume Next
y = nd
WScript.Echo "no default:", Err.Number
