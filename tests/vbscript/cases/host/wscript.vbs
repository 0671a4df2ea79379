WScript.Echo WScript.Arguments.Count, WScript.Arguments(0), WScript.Arguments.Item(1)
For Each a In WScript.Arguments : WScript.Echo "arg", a : Next
WScript.Echo WScript.ScriptName
WScript.StdOut.Write "no newline"
WScript.StdOut.WriteLine " then newline"
WScript.Echo
WScript.Echo "multi", 1, True, Null
WScript.Sleep 1
WScript.Quit 3
WScript.Echo "not printed"
