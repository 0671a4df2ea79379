' RegExp flags, match collections, sub-matches and replacement patterns.
Set re = New RegExp
re.Pattern = "^(\w+)\s*=\s*(\d+)?$"
re.Multiline = True
re.Global = True
Set ms = re.Execute("alpha = 1" & vbLf & "beta =" & vbLf & "gamma=33")
WScript.Echo ms.Count
For Each m In ms
    WScript.Echo m.FirstIndex, m.Length, m.SubMatches(0), IsEmpty(m.SubMatches(1)), m.SubMatches.Count
Next
re.Pattern = "o"
WScript.Echo re.Replace("foo boo", "0")
re.Global = False
WScript.Echo re.Replace("foo boo", "[$&]")
re.IgnoreCase = True
re.Pattern = "B(O+)"
WScript.Echo re.Test("foo boo"), re.Execute("foo boo")(0).SubMatches(0)
WScript.Echo re.Replace("x boo y", "$1$$")
Set c = CreateObject("VBScript.RegExp")
WScript.Echo c.Pattern = "", c.Global, c.IgnoreCase, c.Multiline
On Error Resume Next
c.Pattern = "a("
c.Test "a"
WScript.Echo Err.Number, Err.Description
Err.Clear
c.Pattern = "[b-a]"
c.Execute "a"
WScript.Echo Err.Number, Err.Description
Err.Clear
c.Pattern = "*"
c.Replace "a", "b"
WScript.Echo Err.Number, Err.Description
Err.Clear
c.Pattern = "a"
Set none = c.Execute("xyz")
WScript.Echo none.Count
x = none(0)
WScript.Echo Err.Number
' String parameters convert as COM converts them: True is "-1", Null does not convert.
Err.Clear : c.Pattern = "a" : c.Global = True
WScript.Echo c.Replace("banana", True), c.Replace(False, 1.5), c.Test(True)
c.Replace "banana", Null
WScript.Echo Err.Number
