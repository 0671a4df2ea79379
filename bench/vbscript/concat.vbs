' 20,000 string concatenations.
Dim i, s
s = ""
For i = 1 To 20000
    s = s & "item" & i & ";"
Next
WScript.Echo Len(s)
