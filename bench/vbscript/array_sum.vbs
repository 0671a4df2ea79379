' Fill and sum a 1,000,000-element array.
Dim a, i, total
ReDim a(999999)
For i = 0 To 999999
    a(i) = i Mod 100
Next
total = 0
For i = 0 To 999999
    total = total + a(i)
Next
WScript.Echo total
