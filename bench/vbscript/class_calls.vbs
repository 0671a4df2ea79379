' 100,000 method calls on a Class instance.
Class Counter
    Private m_total
    Private Sub Class_Initialize()
        m_total = 0
    End Sub
    Public Sub Add(v)
        m_total = m_total + v
    End Sub
    Public Property Get Total()
        Total = m_total
    End Property
End Class
Dim c, i
Set c = New Counter
For i = 1 To 100000
    c.Add i Mod 10
Next
WScript.Echo c.Total
