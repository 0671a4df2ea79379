' Nested loops, Exit from the inner loop only, Select inside loops.
For i = 1 To 3
  For j = 1 To 3
    If j > i Then Exit For
    s = s & i & j & " "
  Next
Next
WScript.Echo s
n = 0
Do
  n = n + 1
  k = 0
  Do While True
    k = k + 1
    If k = 2 Then Exit Do
  Loop
  If n = 3 Then Exit Do
Loop
WScript.Echo n, k
For Each w In Split("apple banana cherry date")
  Select Case Left(w, 1)
    Case "a", "b" : r = r & UCase(w) & " "
    Case "c" : r = r & "[" & w & "] "
    Case Else
      r = r & "? "
  End Select
Next
WScript.Echo r
Function FindFirst(arr, target)
  Dim i
  FindFirst = -1
  For i = 0 To UBound(arr)
    If arr(i) = target Then
      FindFirst = i
      Exit Function
    End If
  Next
End Function
WScript.Echo FindFirst(Array(5, 6, 7), 6), FindFirst(Array(5), 9)
total = 0
For i = 1 To 10
  If i Mod 2 = 0 Then
    If i Mod 4 = 0 Then total = total + 100 Else total = total + 10
  Else
    total = total + 1
  End If
Next
WScript.Echo total
i = 0
While i < 3
  i = i + 1
  While False : Wend
Wend
WScript.Echo "while", i
