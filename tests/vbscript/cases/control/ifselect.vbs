Function Grade(n)
  If n >= 90 Then
    Grade = "A"
  ElseIf n >= 80 Then
    Grade = "B"
  ElseIf n >= 70 Then Grade = "C"
  Else
    Grade = "F"
  End If
End Function
WScript.Echo Grade(95), Grade(85), Grade(75), Grade(10)
If 1 = 2 Then WScript.Echo "no" Else WScript.Echo "yes" : WScript.Echo "also"
If Null Then WScript.Echo "null true" Else WScript.Echo "null false"
x = 3
Select Case x
  Case 1, 2
    WScript.Echo "one or two"
  Case 3
    WScript.Echo "three"
    Select Case "inner"
      Case "INNER": WScript.Echo "case sensitive?"
      Case "inner": WScript.Echo "inner matched"
    End Select
  Case Else
    WScript.Echo "other"
End Select
Select Case True
  Case x > 5: WScript.Echo "big"
  Case x > 2: WScript.Echo "mid"
End Select
With CreateObject("Scripting.Dictionary")
  .Add "k", "v"
  WScript.Echo .Count, .Item("k")
End With
