Sub Try(code)
  On Error Resume Next
  Execute code
  WScript.Echo code, "->", Err.Number, Err.Description
End Sub
Try "x = 1 / 0"
Try "x = CInt(40000)"
Try "Dim a(1) : a(2) = 0"
Try "x = ""a"" * 2"
Try "Set o = Nothing : o.Foo"
Try "Set o = CreateObject(""No.Such"")"
Try "Set d = CreateObject(""Scripting.Dictionary"") : d.Bogus"
Try "UndefinedSub 1"
Try "x = Left(""abc"")"
Try "Set x = 5"
Try "x = Mid(""abc"", 0)"
Try "x = Null + CLng(Null)"
Try "Dim f(2) : ReDim f(3)"
Try "For Each q In 5 : Next"
Try "Set d = CreateObject(""Scripting.Dictionary"") : d.Add 1, 1 : d.Add 1, 2"
Try "x = Sqr(-1)"
Try "x = 2147483647 + 1 : y = CLng(x)"
Try "x = Array(1)(3)"
Try "Class Q : End Class : Set z = New Q : z.nope = 1"
Try "x = New NoSuchClass"
Try "x = 1 +"
