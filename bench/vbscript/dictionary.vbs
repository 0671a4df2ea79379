' 200,000 Dictionary adds and lookups.
Dim d, i, hits
Set d = CreateObject("Scripting.Dictionary")
For i = 1 To 200000
    d.Add "k" & i, i
Next
hits = 0
For i = 1 To 200000
    If d.Exists("k" & i) Then hits = hits + d.Item("k" & i) Mod 2
Next
WScript.Echo d.Count, hits
