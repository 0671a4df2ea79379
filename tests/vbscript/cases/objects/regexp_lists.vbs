' The match collection and SubMatches are read-only lists indexed from 0.
Set re = New RegExp
re.Global = True
re.Pattern = "(\d)(x)?"
Set ms = re.Execute("1x 2 3x")
WScript.Echo ms.Count, ms(2), ms.Item(1).SubMatches.Count, ms(0).SubMatches(1)
For Each s In ms(0).SubMatches
  WScript.Echo "group", s
Next
Sub Try(label, code)
  On Error Resume Next
  Execute code
  WScript.Echo label, Err.Number
End Sub
Try "match past end", "x = ms(3)"
Try "match negative", "x = ms.Item(-1)"
Try "submatch past end", "x = ms(0).SubMatches(2)"
Try "count with argument", "x = ms.Count(1)"
Try "item missing", "x = ms.Item()"
Try "assign item", "ms.Item(0) = 1"
