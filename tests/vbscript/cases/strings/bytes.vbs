' The byte functions work on the UTF-16LE bytes of a string; a trailing odd byte
' survives concatenation.
Dim b
b = ChrB(65) & ChrB(0) & ChrB(66)
WScript.Echo LenB("abc"), Len(LeftB("abc", 3)), LenB(LeftB("abc", 3)), AscB(MidB("abc", 3)), AscB(MidB(ChrW(258), 2))
WScript.Echo LenB(b), Len(b), AscW(b), AscB(RightB(b, 1)), InStrB("abc", "b"), InStrB(1, b, ChrB(66))
WScript.Echo LeftB(b, 2) = "A", LenB(ChrB(65) & ""), MidB("abc", 3, 2) = "b", LenB(Null) & "|"
