x = 10
WScript.Echo Eval("x * 2 + 1"), Eval("Len(""abc"")")
Execute "y = x + 5"
WScript.Echo y
ExecuteGlobal "Function Twice(n) : Twice = n * 2 : End Function"
WScript.Echo Twice(21)
Sub UsesLocal()
  Dim z : z = 3
  Execute "z = z * 7"
  WScript.Echo "local", z, Eval("z + 1")
End Sub
UsesLocal
Execute "Class Dyn : Public V : End Class"
Set o = New Dyn : o.V = "dynamic class" : WScript.Echo o.V
Randomize 1
r = Rnd
WScript.Echo r >= 0 And r < 1
WScript.Echo ScriptEngine, ScriptEngineMajorVersion, RGB(255, 0, 0), RGB(1, 2, 3)
