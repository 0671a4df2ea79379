' Property procedures, with and without Public/Private in front, and the compile
' errors of a Property not followed by Get, Let or Set or not inside a class.
Sub Compile(code)
  On Error Resume Next
  ExecuteGlobal code
  WScript.Echo Err.Number, Err.Description
End Sub
Compile "Class A" & vbLf & "Property Name" & vbLf & "End Property" & vbLf & "End Class"
Compile "Class B" & vbLf & "Public Property Name" & vbLf & "End Property" & vbLf & "End Class"
Compile "Property Get Name" & vbLf & "End Property"
Compile "Public Property Get Name" & vbLf & "End Property"
Compile "Class C" & vbLf & "Property Get N : N = 1 : End Property" & vbLf & _
        "Private Property Let N(v) : End Property" & vbLf & "End Class"
Set c = New C
WScript.Echo c.N
