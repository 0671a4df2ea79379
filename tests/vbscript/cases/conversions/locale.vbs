' SetLocale changes the conventions of conversions and formatting; GetLocale reports it.
Dim d
d = DateSerial(2024, 12, 24) + TimeSerial(13, 5, 9)
WScript.Echo SetLocale(1031), GetLocale(), CStr(1234.5), CDbl("1.234,5") = 1234.5, IsNumeric("1.5,0"), 0.5 & ""
WScript.Echo d, FormatNumber(1234.5), FormatCurrency(-1234.5), FormatPercent(0.256)
WScript.Echo FormatDateTime(d, vbLongDate), FormatDateTime(d, vbShortTime), MonthName(3, True), WeekdayName(2), Weekday(d, vbUseSystemDayOfWeek)
WScript.Echo CDate("1.2.2000") = DateSerial(2000, 2, 1), CDate("24. Dezember 2024") = DateValue(d)
WScript.Echo SetLocale("en-us"), CStr(1234.5), d, FormatCurrency(-1234.5), MonthName(3)
On Error Resume Next
SetLocale 9999
WScript.Echo Err.Number, GetLocale()
