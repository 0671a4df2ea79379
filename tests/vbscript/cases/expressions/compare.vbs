Dim a, b
a = "10" : b = 9
WScript.Echo a > b, CInt(a) > b, a = "10"
WScript.Echo StrComp("abc", "ABC"), StrComp("abc", "ABC", 1), "A" < "a"
Set o1 = CreateObject("Scripting.Dictionary")
Set o2 = o1
Set o3 = CreateObject("Scripting.Dictionary")
WScript.Echo o1 Is o2, o1 Is o3, Nothing Is Nothing
Select Case "b"
Case "a": WScript.Echo "a"
Case "b", "c": WScript.Echo "b or c"
End Select
Select Case 15
Case Is < 10: WScript.Echo "small"
Case 10 To 20: WScript.Echo "medium"
Case Else: WScript.Echo "large"
End Select
