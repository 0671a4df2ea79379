' Building strings in place must never change another variable holding the same text.
s = "ab"
t = s
s = s & "c"
WScript.Echo s, t
s = s & s
WScript.Echo s
Function Sneaky()
  s = "replaced"
  Sneaky = "!"
End Function
s = s & Sneaky()
WScript.Echo s
Dim arr(1)
arr(0) = "x"
u = arr(0)
u = u & "y"
WScript.Echo arr(0), u
s = ""
For i = 1 To 1000
  s = s & Chr(65 + i Mod 26) & "-"
Next
WScript.Echo Len(s), Left(s, 8), Right(s, 4)
n = 5
n = n & 6
WScript.Echo n, TypeName(n)
e = Empty
e = e & "z"
WScript.Echo e
q = "q"
q = q & Null & 1 & True
WScript.Echo q
