' Dictionary error numbers, reads that add keys, text comparison and renaming.
On Error Resume Next
Set d = CreateObject("Scripting.Dictionary")
d.Add "k", 1
d.Add "k", 2
WScript.Echo Err.Number, Err.Description
Err.Clear
d.Remove "missing"
WScript.Echo Err.Number, Err.Description
Err.Clear
x = d("new")
WScript.Echo IsEmpty(x), d.Count, d.Exists("new")
d.CompareMode = 1
WScript.Echo Err.Number
Err.Clear
Set t = CreateObject("Scripting.Dictionary")
t.CompareMode = vbTextCompare
t("Key") = 1
t("KEY") = t("KEY") + 1
WScript.Echo t.Count, t("key")
t.Add 1, "n"
t.Add "1", "s"
WScript.Echo t.Count, t(1), t("1"), t(CDbl(1))
t.Key("Key") = "Renamed"
WScript.Echo t.Exists("renamed"), t.Exists("key")
t.Key("nope") = "x"
WScript.Echo Err.Number
Err.Clear
WScript.Echo t.HashVal("abc"), t.HashVal(1)
t.RemoveAll
WScript.Echo t.Count
