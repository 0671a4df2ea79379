' Operators, precedence and result types.
WScript.Echo 1 + 2 * 3, (1 + 2) * 3, 2 ^ 3 ^ 2, -2 ^ 2, 10 \ 3, 10 Mod 3, -7 Mod 3, 7 / 2
WScript.Echo 2 + 3 & 4, "2" + 3, "2" + "3", "a" & 1 + 2
WScript.Echo TypeName(1 + 1), TypeName(32767 + 1), TypeName(2147483647 + 1), TypeName(1.5 + 1)
WScript.Echo TypeName(1 / 1), TypeName(5 \ 2), TypeName(CByte(1) + CByte(2)), TypeName(CByte(200) + CByte(100))
WScript.Echo TypeName(True + True), True + True, TypeName(Empty + Empty), TypeName(CSng(1) + 1)
WScript.Echo 7.5 \ 2, 6.5 \ 1, 5.5 Mod 2, -(-32768), TypeName(-(-32768))
WScript.Echo Not 0, Not True, 5 And 3, 5 Or 3, 5 Xor 3, True Eqv False, False Imp True
WScript.Echo 1 < 2, "a" < "B", "abc" = "abc", 1 = 1.0, Empty = 0, Empty = ""
WScript.Echo IsNull(Null + 1), IsNull(Null & Null), Null & "x", IsNull(Null = Null), Null Or True, Null And False
WScript.Echo CDate("1/1/2000") + 1, #1/31/2000# - #1/1/2000#
WScript.Echo 0.1 + 0.2, 1 / 3, 1E+300 * 10 > 1
