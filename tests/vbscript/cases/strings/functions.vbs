s = "Hello, World"
WScript.Echo Len(s), Left(s, 5), Right(s, 5), Mid(s, 8), Mid(s, 8, 3), Mid(s, 50) = ""
WScript.Echo UCase(s), LCase(s), StrReverse("abc")
WScript.Echo "[" & Trim("  x  ") & "][" & LTrim("  x") & "][" & RTrim("x  ") & "]"
WScript.Echo InStr(s, "o"), InStr(6, s, "o"), InStr(s, "z"), InStr(1, s, "WORLD", 1), InStrRev(s, "o")
WScript.Echo Replace(s, "l", "L"), Replace(s, "L", "_", 1, -1, vbTextCompare), Replace("aaaa", "a", "b", 1, 2)
WScript.Echo Join(Split("a b  c"), "|"), UBound(Split("")), Join(Split("1,2,3", ",", 2), "|")
WScript.Echo Space(3) & "|", String(3, "ab"), String(2, 65)
WScript.Echo Asc("A"), AscW("€"), Chr(66), ChrW(8364) = "€", Chr(128) = ChrW(8364)
WScript.Echo StrComp("a", "b"), StrComp("b", "a"), StrComp("A", "a", vbTextCompare)
WScript.Echo Len(Null) & "", IsNull(Left(Null, 1)), IsNull(UCase(Null))
f = Filter(Array("apple", "banana", "cherry"), "an")
WScript.Echo UBound(f), f(0)
WScript.Echo Escape("a b&c"), Unescape("%41%u20AC")
WScript.Echo LCase(123), Len(12345), Len(True)
x = "abc"
x = x & "def" & 1 & Null
WScript.Echo x
