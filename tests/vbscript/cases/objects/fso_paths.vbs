' FileSystemObject path arithmetic, which works on the text alone.
Set fso = CreateObject("Scripting.FileSystemObject")
For Each p In Array("a.b.c", "C:\x\y.txt", "C:\x\", "C:\", ".txt", "x\y\", "\\srv\share\x.y")
    WScript.Echo "[" & p & "]", fso.GetFileName(p), fso.GetBaseName(p), fso.GetExtensionName(p), _
        "<" & fso.GetParentFolderName(p) & ">", fso.GetDriveName(p)
Next
WScript.Echo fso.BuildPath("C:\a", "b"), fso.BuildPath("C:\a\", "b"), fso.BuildPath("C:", "b")
WScript.Echo fso.GetAbsolutePathName("c:\a\..\b\.\c")
Set re = New RegExp
re.Pattern = "^rad[0-9A-F]{5}\.tmp$"
WScript.Echo re.Test(fso.GetTempName()), TypeName(fso)
