WScript.Echo Len(""), Len(" "), Left("", 3) = "", Right("abc", 0) = "", Mid("abc", 4) = "", Mid("abc", 2, 0) = ""
WScript.Echo InStr("", ""), InStr("abc", ""), InStr(5, "abc", "a"), InStrRev("abc", ""), InStrRev("abca", "a", 3)
WScript.Echo InStr(1, "ABC", "b", vbTextCompare), InStr(1, "ABC", "b", vbBinaryCompare), InStr(1, "aXbX", "x", 1)
WScript.Echo Replace("a.b.c", ".", ""), Replace("abc", "B", "x", 1, -1, 1), Replace("abcabc", "b", "X", 3), Replace("aaa", "aa", "b")
WScript.Echo Join(Split("a--b--c", "--"), "+"), Join(Split("aXbxc", "x", -1, 1), "+"), UBound(Split("abc", ""))
WScript.Echo StrReverse(""), UCase("mIxEd 123"), LCase("ÀÉÎ"), Len(String(5, "é"))
WScript.Echo "[" & LTrim("  a b  ") & "]", "[" & RTrim("  a b  ") & "]", "[" & Trim("   ") & "]"
WScript.Echo Asc("a"), Asc("ab"), AscW("Z"), Chr(9) = vbTab, ChrW(65) & ChrW(66), Len(vbCrLf), Len(vbNullChar)
WScript.Echo StrComp("abc", "abd"), StrComp("abc", "ab"), StrComp("", ""), StrComp("B", "a", 1), IsNull(StrComp(Null, "a"))
WScript.Echo Filter(Split("one two three"), "o", False)(0), UBound(Filter(Array("A", "b"), "a", True, 1))
WScript.Echo "Tab" & vbTab & "|", "quote""inside", Len("""")
WScript.Echo CStr(123) & 456, 1 & 2 + 3, "x" & 1.5 & True & Empty & "y"
On Error Resume Next
x = Left("abc", -1)
WScript.Echo "negative length", Err.Number
Err.Clear
x = Asc("")
WScript.Echo "empty Asc", Err.Number
Err.Clear
x = String(2, "")
WScript.Echo "empty String char", Err.Number
Err.Clear
x = Space(-1)
WScript.Echo "negative Space", Err.Number
