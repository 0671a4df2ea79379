Dim a(2), m(1, 2), d()
a(0) = "x" : a(2) = 3
WScript.Echo LBound(a), UBound(a), a(0), IsEmpty(a(1)), a(2)
m(1, 2) = "corner"
WScript.Echo UBound(m, 1), UBound(m, 2), m(1, 2)
ReDim d(3)
d(3) = "last"
ReDim Preserve d(5)
WScript.Echo UBound(d), d(3), IsEmpty(d(5))
ReDim d(1)
WScript.Echo UBound(d), IsEmpty(d(1))
b = a
b(0) = "changed"
WScript.Echo a(0), b(0)
Function FirstOf(arr) : FirstOf = arr(0) : End Function
WScript.Echo FirstOf(Array(7, 8, 9))
Sub SetFirst(arr) : arr(0) = "set" : End Sub
SetFirst a
WScript.Echo a(0)
e = Array()
WScript.Echo UBound(e), IsArray(e), TypeName(e), VarType(e)
s = Split("a,b,c", ",")
WScript.Echo TypeName(s), VarType(s), Join(s, "|")
Erase a
WScript.Echo IsEmpty(a(0)), UBound(a)
ReDim g(2, 3)
g(2, 3) = 1
ReDim Preserve g(2, 5)
WScript.Echo UBound(g, 2), g(2, 3)
For Each v In Array(1, "two", 3.5) : WScript.Echo TypeName(v) : Next
Dim total : total = 0
For Each v In m : total = total + 1 : Next
WScript.Echo "cells", total
