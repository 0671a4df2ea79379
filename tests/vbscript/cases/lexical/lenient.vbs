' Forms Windows compiles although they bend the grammar.
a = 1 : b = 0
WScript.Echo a <> Not b, 1 > Not 5 > 3, Not a = Not b
If a = 1 Then WScript.Echo "if" Else WScript.Echo "else" End If
If a = 2 Then WScript.Echo "if" Else WScript.Echo "else"
If a = 1 Then WScript.Echo "colons" : Else : WScript.Echo "else" : End If
If a = 2 Then WScript.Echo "if": Else WScript.Echo "else colon": End If
If a = 1 Then : WScript.Echo "then colon" : End If
Select Case 2
Case 1 WScript.Echo "one"
Case 2 WScript.Echo "two"
Case Else WScript.Echo "else"
End Select
Sub OneLine() WScript.Echo "one-line sub" End Sub
OneLine
Function Twice(n) Twice = n * 2 End Function
WScript.Echo Twice(4)
x =_
 5
WScript.Echo Join(Array(x,_
 6), "-")
Class Chain
  Public Name
  Function Self() : Set Self = Me : End Function
End Class
Set c = New Chain : c.Name = "chained"
WScript.Echo c.Self() _
  .Self().Name
hi = "there"
WScript.Echo "hi " &hi, "x"&hi, &h1F
With c
  WScript.Echo _
    .Name
End With
