' Argument conversion of the built-ins: the subtype each conversion gives, the
' error a bad argument raises, and Null passing straight through.
Dim grid(1, 1)
Sub Try(label, code)
  On Error Resume Next
  Dim r
  r = Eval(code)
  If Err.Number <> 0 Then
    WScript.Echo label, "error", Err.Number
  ElseIf IsNull(r) Then
    WScript.Echo label, "Null"
  Else
    WScript.Echo label, TypeName(r), r
  End If
End Sub
Try "CBool", "CBool(""true"")"
Try "CByte", "CByte(""200"")"
Try "CByte big", "CByte(256)"
Try "CDbl", "CDbl(""2.5"")"
Try "CInt", "CInt(2.5)"
Try "CInt big", "CInt(40000)"
Try "CInt text", "CInt(""x"")"
Try "CLng", "CLng(3.5)"
Try "CLng null", "CLng(Null)"
Try "CSng", "CSng(""0.5"")"
Try "CCur", "CCur(""1.25"")"
Try "Left", "Left(Null, 2)"
Try "Left neg", "Left(""abc"", -1)"
Try "Right", "Right(""abc"", 2)"
Try "Mid", "Mid(Null, 1)"
Try "Mid zero", "Mid(""abc"", 0)"
Try "Len", "Len(Null)"
Try "LCase", "LCase(Null)"
Try "Chr null", "Chr(Null)"
Try "Chr", "Chr(65)"
Try "Space", "Space(2) & ""|"""
Try "String", "String(3, ""x"")"
Try "Year", "Year(Null)"
Try "DateValue", "DateValue(Null)"
Try "TimeValue", "TimeValue(Null)"
Try "DatePart", "DatePart(""yyyy"", Null)"
Try "Weekday", "Weekday(Null)"
Try "MonthName", "MonthName(13)"
Try "Hex", "Hex(Null)"
Try "Hex byte", "Hex(CByte(255))"
Try "Round", "Round(Null)"
Try "DateSerial", "Year(DateSerial(2020, 14, 1))"
Try "DateSerial bad", "DateSerial(""x"", 1, 1)"
Try "CLng blank", "CLng(""1 2"")"
Try "CDbl date", "CDbl(""1/2/2000"")"
Try "Add blank", "1 + ""1 2"""
Try "CBool #TRUE#", "CBool(""#TRUE#"")"
Try "CBool #FALSE#", "CBool(""#FALSE#"")"
Try "CBool #True#", "CBool(""#True#"")"
Try "CByte True", "CByte(True)"
Try "Join Null", "Join(Null)"
Try "Join object", "Join(New RegExp)"
Try "Join grid", "Join(grid)"
Try "Filter Null", "Filter(Null, ""a"")"
Try "Escape Null", "Escape(Null)"
Try "Unescape Null", "Unescape(Null)"
Try "Left Null length", "Left(""abc"", Null)"
Try "Mid Null length", "Mid(""abc"", 1, Null)"
Try "Hour", "Hour(Null)"
Try "Day", "Day(Null)"
Try "DateAdd", "DateAdd(""d"", 1, Null)"
Try "DateDiff", "DateDiff(""d"", Null, Now)"
Try "WeekdayName", "WeekdayName(Null)"
