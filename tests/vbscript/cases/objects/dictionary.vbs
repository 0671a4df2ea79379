Set d = CreateObject("Scripting.Dictionary")
d.Add "b", 2
d.Add "a", 1
d("c") = 3
WScript.Echo d.Count, d("a"), d.Item("b"), d.Exists("c"), d.Exists("z")
For Each k In d : WScript.Echo k, d(k) : Next
k = d.Keys : v = d.Items
WScript.Echo Join(k, ","), UBound(v)
d.Remove "a"
WScript.Echo d.Count, TypeName(d)
Set re = New RegExp
re.Pattern = "(\w+)@(\w+)\.com"
re.Global = True
Set ms = re.Execute("x ann@site.com and bob@corp.com")
WScript.Echo ms.Count, ms(0).Value, ms(1).SubMatches(0)
WScript.Echo re.Replace("ann@site.com", "$2/$1"), re.Test("nothing")
