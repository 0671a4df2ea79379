' What each kind of value becomes and reports.
Dim values, names, i
values = Array(Empty, Null, CInt(1), CLng(1), CSng(1), CDbl(1), CCur(1), CDate(1), "1", True, CByte(1), Nothing, Array(1))
For i = 0 To UBound(values)
  If IsObject(values(i)) Then
    WScript.Echo i, TypeName(values(i)), VarType(values(i)), IsObject(values(i))
  Else
    WScript.Echo i, TypeName(values(i)), VarType(values(i)), IsNumeric(values(i)), IsEmpty(values(i)), IsNull(values(i)), IsArray(values(i))
  End If
Next
WScript.Echo TypeName(CInt(1) + CLng(1)), TypeName(CByte(1) + CInt(1)), TypeName(CSng(1) + CDbl(1)), TypeName(CCur(1) + CLng(1))
WScript.Echo TypeName(CInt(1) * CSng(1)), TypeName(CLng(1) / CLng(1)), TypeName(CByte(10) \ CByte(3)), TypeName(CLng(10) Mod 3)
WScript.Echo TypeName(CDate(1) + CInt(1)), TypeName(True And True), TypeName(True And 1), TypeName(CByte(1) Or CByte(2)), TypeName(CLng(1) Xor 1)
WScript.Echo TypeName(-CByte(1)), TypeName(Not CByte(1)), Not CByte(1), TypeName(-True), -True
x = 32767 : x = x + 1 : WScript.Echo x, TypeName(x)
x = -32768 : x = x - 1 : WScript.Echo x, TypeName(x)
x = 2147483647 : x = x + 1 : WScript.Echo x, TypeName(x)
x = 46341 : x = x * x : WScript.Echo x, TypeName(x)
x = CByte(255) : x = x + CByte(1) : WScript.Echo x, TypeName(x)
x = CCur("922337203685477") : WScript.Echo x, TypeName(x)
On Error Resume Next
x = CCur("922337203685477") * 100
WScript.Echo "currency overflow", Err.Number
Err.Clear
x = CByte(256)
WScript.Echo "byte overflow", Err.Number
Err.Clear
x = CSng(1E+300)
WScript.Echo "single overflow", Err.Number
