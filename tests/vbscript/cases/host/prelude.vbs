option explicit
Const Win95 = 1
Const WinNT = 2
Const Win98 = 3
Const Win2000 = 4
Const WinME = 5
Const WinXP = 6
Const Win2003 = 7
Const WinVista = 8
Const bit1 = &h1
Const bit2 = &h2
Const bit3 = &h4
Const bit4 = &h8
Const bit5 = &h10
Const bit6 = &h20
Const bit7 = &h40
Const bit8 = &h80
Const bit9 = &h100
Const bit10 = &h200
Const reg_sz = 1
Const reg_dword = 2
Const reg_binary = 3
Const reg_expand_sz = 4
Const reg_multi_sz = 5
Const MB_OK = &h00000000
Const MB_OKCANCEL = &h00000001
Const MB_ABORTRETRYIGNORE = &h00000002
Const MB_YESNOCANCEL = &h00000003
Const MB_YESNO = &h00000004
Const MB_RETRYCANCEL = &h00000005
Const MB_ICONERROR = &h00000010
Const MB_ICONQUESTION = &h00000020
Const MB_ICONEXCLAMATION = &h00000030
Const MB_ICONINFORMATION = &h00000040
Const IDOK = 1
Const IDCANCEL = 2
Const IDYES = 6
Const IDNO = 7
function iif(psdStr, trueStr, falseStr)
 if psdStr <> 0 then
	iif = trueStr
 else 
	iif = falseStr
 end if
end function
' A plugin script after the prelude.
Dim state
Sub OnInit()
  state = iif(bit3 And 12, "on", "off")
  WScript.Echo "init", state, iif(0, "yes", "no"), WinXP, reg_dword, MB_YESNO + MB_ICONQUESTION, IDNO
End Sub
OnInit
WScript.Echo TypeName(bit10), bit10, TypeName(MB_OK)
