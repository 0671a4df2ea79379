Dim n : n = Null
WScript.Echo IsNull(n + 1), IsNull(n * 0), IsNull(-n), IsNull(Not n), IsNull(n = n), IsNull(n <> 1)
WScript.Echo IsNull(n And True), n And False, n Or True, IsNull(n Or False), IsNull(n Xor True)
WScript.Echo "[" & n & "]", IsNull(n & n), IsNull(Len(n)), IsNull(Mid(n, 1)), IsNull(UCase(n))
WScript.Echo IsNull(Abs(n)), IsNull(Int(n)), IsNull(Year(n)), IsNull(Hex(n))
If n Then WScript.Echo "null is true" Else WScript.Echo "null is not true"
If Not n Then WScript.Echo "not null is true" Else WScript.Echo "not null is not true"
On Error Resume Next
x = CStr(n)
WScript.Echo Err.Number, Err.Description
Err.Clear
x = CLng(n)
WScript.Echo Err.Number
