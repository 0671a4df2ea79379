r = MsgBox("Proceed?", vbYesNo + vbQuestion, "Title")
WScript.Echo r = vbYes
WScript.Echo InputBox("Name?", "Ask", "default")
