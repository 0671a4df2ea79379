WScript.Echo DateSerial(2023, 13, 1), DateSerial(2024, 3, 0), DateSerial(99, 1, 1), DateSerial(29, 1, 1)
WScript.Echo DateAdd("q", 1, #11/30/2023#), DateAdd("ww", 2, #1/1/2024#), DateAdd("s", 3661, #1/1/2024#)
WScript.Echo DateDiff("ww", #1/1/2024#, #1/31/2024#), DateDiff("q", #1/1/2024#, #12/31/2024#), DateDiff("s", #1/1/2024#, #1/1/2024 0:01:00#)
WScript.Echo DatePart("w", #1/3/2024#), DatePart("w", #1/3/2024#, vbMonday), DatePart("h", #1/3/2024 15:00#)
WScript.Echo Weekday(#1/7/2024#, vbMonday), WeekdayName(1, True), WeekdayName(1, False, vbMonday)
WScript.Echo FormatDateTime(#7/4/2024#, vbShortDate), FormatDateTime(#7/4/2024 9:05:00 PM#, vbLongTime), FormatDateTime(#7/4/2024 9:05:00 PM#)
WScript.Echo CDate("July 4, 2024"), CDate("4 Jul 2024"), CDate("2024/07/04")
WScript.Echo #1/1/2024# - 1, CLng(#1/1/2024#), CDate(45292), TypeName(#1/1/2024# - #12/1/2023#)
WScript.Echo Year(#12/31/9999#), Month(#2/1/100#), Day(DateSerial(2024, 2, 29) + 1)
On Error Resume Next
x = DateAdd("zz", 1, Now)
WScript.Echo "bad interval", Err.Number
Err.Clear
x = CDate("not a date")
WScript.Echo "bad date", Err.Number
Err.Clear
x = MonthName(13)
WScript.Echo "bad month", Err.Number
