' Else belongs to the innermost single-line If; a multi-line block inside a
' single-line context does not let Else end its own statements.
If True Then If False Then WScript.Echo "a" Else WScript.Echo "b"
If False Then If True Then WScript.Echo "c" Else WScript.Echo "d"
WScript.Echo "after"
For i = 1 To 3
  If i = 2 Then WScript.Echo "two" Else WScript.Echo "not two", i
Next
Select Case 2
  Case 1: If True Then WScript.Echo "one" Else WScript.Echo "never"
  Case 2: If False Then WScript.Echo "never" Else WScript.Echo "case two"
End Select
n = 0
Do While n < 2
  n = n + 1
  If n = 1 Then
    WScript.Echo "first"
  ElseIf n = 2 Then If True Then WScript.Echo "second" Else WScript.Echo "never"
  End If
Loop
With CreateObject("Scripting.Dictionary")
  If .Count = 0 Then .Add "k", 1 Else WScript.Echo "never"
  WScript.Echo .Count
End With
