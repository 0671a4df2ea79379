On Error Resume Next
x = WScript.Arguments(7)
WScript.Echo "argument out of range", Err.Number
Err.Clear
WScript.Echo Array(1)
WScript.Echo "echo of an array", Err.Number
Err.Clear
WScript.NoSuchMember
WScript.Echo "unknown member", Err.Number
Err.Clear
WScript.StdErr.WriteLine "to stderr"
On Error GoTo 0
WScript.Echo WScript.Name, WScript.Version, TypeName(WScript.StdOut)
WScript.Arguments(0) = "x"
