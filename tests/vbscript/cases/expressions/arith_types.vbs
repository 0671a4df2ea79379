' Result subtypes follow OLE's order: Currency outranks Double and Single in sums,
' not in products; Empty is below Byte; \ and Mod give whole-number subtypes.
Dim c, d, s, l, b
c = CCur(1.5) : d = CDbl(0.123456) : s = CSng(2) : l = CLng(3) : b = CByte(4)
WScript.Echo TypeName(c + d), c + d, TypeName(d - c), TypeName(c + s), TypeName("2" + c)
WScript.Echo TypeName(c * d), TypeName(c * s), TypeName(c * l), TypeName(c / c), TypeName(c \ l), TypeName(c Mod l)
WScript.Echo TypeName(Empty + b), TypeName(b * Empty), TypeName(True + b), TypeName(Empty Mod b), TypeName(Empty \ b)
WScript.Echo TypeName(s + l), TypeName(s / b), TypeName(l / b), TypeName(c ^ 1), TypeName(CDate(1) + c), TypeName(CDate(1) * c)
