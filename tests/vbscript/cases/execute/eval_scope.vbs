Dim g : g = 5
Function Calc(expr) : Calc = Eval(expr) : End Function
WScript.Echo Calc("g * 2"), Eval("g = 5"), Eval("""text"" & g")
Sub Local()
  Dim v : v = 3
  WScript.Echo Eval("v + g")
  Execute "v = v + 1 : g = g + 1"
  WScript.Echo v, g
  ExecuteGlobal "Dim created : created = ""global"""
End Sub
Local
WScript.Echo created
Class K
  Private secret
  Private Sub Class_Initialize : secret = "inside" : End Sub
  Public Function Peek : Peek = Eval("secret") : End Function
End Class
Set k1 = New K
WScript.Echo k1.Peek()
For i = 1 To 3
  Execute "total = total + " & i
Next
WScript.Echo total
On Error Resume Next
x = Eval("1 +")
WScript.Echo "eval syntax", Err.Number
Err.Clear
Execute "If"
WScript.Echo "execute syntax", Err.Number
Err.Clear
x = Eval("nosuchfn(1)")
WScript.Echo "eval runtime", Err.Number
