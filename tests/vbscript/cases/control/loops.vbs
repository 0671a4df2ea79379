Dim i, s, n
s = ""
For i = 10 To 1 Step -3 : s = s & i & " " : Next
WScript.Echo s
s = ""
For i = 0 To 1 Step 0.25 : s = s & i & " " : Next
WScript.Echo s
For i = 1 To 0 : WScript.Echo "never" : Next
WScript.Echo "after empty loop", i
For i = 1 To 5
  If i = 3 Then Exit For
Next
WScript.Echo "exit for at", i
n = 0
Do
  n = n + 1
  If n >= 4 Then Exit Do
Loop
WScript.Echo "do", n
n = 0
Do While n < 3 : n = n + 1 : Loop
WScript.Echo "while", n
Do Until n = 0 : n = n - 1 : Loop
WScript.Echo "until", n
Do : n = n + 2 : Loop While n < 7
WScript.Echo "loop while", n
Do : n = n - 1 : Loop Until n < 5
WScript.Echo "loop until", n
While n < 10 : n = n + 3 : Wend
WScript.Echo "wend", n
For Each x In Array("a", "b", "c") : s = s & x : Next
WScript.Echo s
For i = 1 To 3 : i = i + 1 : WScript.Echo "body", i : Next
