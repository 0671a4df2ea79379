Sub Swap(a, b)
  Dim t : t = a : a = b : b = t
End Sub
Sub NoSwap(ByVal a, ByVal b)
  Dim t : t = a : a = b : b = t
End Sub
x = 1 : y = 2
Swap x, y : WScript.Echo x, y
NoSwap x, y : WScript.Echo x, y
Call Swap(x, y) : WScript.Echo x, y
Swap (x), y : WScript.Echo x, y
Function Add(a, b) : Add = a + b : End Function
WScript.Echo Add(2, 3), Add("a", "b")
Function NoReturn() : End Function
WScript.Echo IsEmpty(NoReturn())
Function Early(n)
  Early = "start"
  If n > 0 Then Exit Function
  Early = "end"
End Function
WScript.Echo Early(1), Early(0)
Sub Inc(v) : v = v + 1 : End Sub
Dim arr(2) : arr(1) = 10
Inc arr(1) : WScript.Echo arr(1)
Function Fact(n)
  If n <= 1 Then Fact = 1 Else Fact = n * Fact(n - 1)
End Function
WScript.Echo Fact(10), Fact(20)
Function Outer() : Outer = Inner() * 2 : End Function
Function Inner() : Inner = 21 : End Function
WScript.Echo Outer()
counter = 0
Sub Bump() : counter = counter + 1 : End Sub
Bump : Bump : WScript.Echo counter
Sub Local() : Dim counter : counter = 100 : End Sub
Local : WScript.Echo counter
Set r = GetRef("Add")
WScript.Echo r(4, 5)
