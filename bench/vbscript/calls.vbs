' 100,000 calls of a user function with three arguments.
Function Mix(a, b, c)
    Mix = (a + b * c) Mod 97
End Function
Dim i, t
t = 0
For i = 1 To 100000
    t = t + Mix(i, 3, 5)
Next
WScript.Echo t
