' 3,000,000 turns of integer arithmetic with Mod.
Dim i, acc
acc = 0
For i = 1 To 3000000
    acc = (acc + i * 7) Mod 1000003
Next
WScript.Echo acc
