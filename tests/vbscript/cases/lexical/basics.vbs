' Comments, continuation, separators, literals, bracketed names, case.
Rem a Rem comment
dim X : x = 1 : WSCRIPT.ECHO X ' trailing comment
s = "a ""quoted"" word"
WScript.Echo s
t = "one" & _
    " two" & _
  " three"
WScript.Echo t
WScript.Echo &H10, &HFF&, &O17, &17, 1.5E3, 2.5e-2, .5
WScript.Echo TypeName(32767), TypeName(32768), TypeName(2147483648), TypeName(&HFFFF), &HFFFF
Dim [my var]
[my var] = 7
WScript.Echo [my var] * 2
WScript.Echo #1/2/2003#, TypeName(#12:30:00 PM#)
If True Then WScript.Echo "single" Else WScript.Echo "never"
WScript.Echo 1 : WScript.Echo 2
