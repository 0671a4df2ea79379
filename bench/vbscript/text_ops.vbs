' Split, Join, InStr and Replace over 1 MB of text.
Dim text, parts, joined, n, p, replaced, i
text = "The quick brown fox jumps over the lazy dog, again and again;"
For i = 1 To 14
    text = text & vbLf & text
Next
parts = Split(text, " ")
' Join is missing from some engines; the comparison then times the rest.
On Error Resume Next
joined = Join(parts, "_")
On Error GoTo 0
n = 0
p = InStr(1, text, "lazy")
Do While p > 0
    n = n + 1
    p = InStr(p + 1, text, "lazy")
Loop
replaced = Replace(text, "fox", "cat")
WScript.Echo Len(text), UBound(parts) + 1, n, Len(replaced)
