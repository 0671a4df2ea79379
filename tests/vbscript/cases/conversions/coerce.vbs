WScript.Echo CInt(2.5), CInt(3.5), CInt(-2.5), CLng("  12 "), CLng("&H10"), CDbl("1e3"), CDbl("1,000.5")
WScript.Echo CBool(0), CBool(-1), CBool("True"), CBool("false"), CBool(0.1)
WScript.Echo CStr(True), CStr(1.5), CStr(1E+16), CStr(0.00001), CStr(123456789012345), CStr(-0.5)
WScript.Echo CByte(255), CSng(1.1), CCur(1.23456), CCur("0.1") * 3, TypeName(CCur(1))
WScript.Echo Hex(255), Hex(-1), Hex(CInt(-1)), Oct(8), Hex(2147483647), Hex(CByte(255))
WScript.Echo Int(-2.5), Fix(-2.5), Int(2.7), Round(2.5), Round(3.5), Round(-1.5)
WScript.Echo Abs(-5), Abs(-2.5), Sgn(-3), Sgn(0), Sgn(7), TypeName(Abs(CInt(-5)))
WScript.Echo IsNumeric("12"), IsNumeric("1e5"), IsNumeric("abc"), IsNumeric(""), IsNumeric(Empty), IsNumeric(Null)
WScript.Echo IsDate("1/1/2020"), IsDate("hello"), IsEmpty(Empty), IsEmpty(""), IsNull(Null), IsObject(Nothing)
WScript.Echo TypeName(Empty), TypeName(Null), TypeName(Nothing), TypeName(CSng(1)), TypeName(CCur(1)), TypeName(Now), TypeName(""), TypeName(True), TypeName(CByte(1))
WScript.Echo VarType(Empty), VarType(Null), VarType(1), VarType(1.5), VarType("s"), VarType(True), VarType(Nothing), VarType(Array(1))
WScript.Echo 5 = "5", CStr(5) = "5", "5" = 5.0
WScript.Echo FormatNumber(1234.5678), FormatNumber(1234.5678, 1), FormatCurrency(-1234.5), FormatPercent(0.256)
WScript.Echo Exp(0), Log(Exp(1)), Sqr(16), Atn(1) * 4, Cos(0), Sin(0), Tan(0)
WScript.Echo 1.0, 100000000000000, 1000000000000000, 1.5E-5, -1E+100
WScript.Echo CLng(True), CInt("7"), 0 = "", Empty & "x"
