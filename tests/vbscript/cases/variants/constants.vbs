' The intrinsic constants carry Windows' subtypes.
WScript.Echo TypeName(vbSunday), TypeName(vbTextCompare), TypeName(vbYesNo), TypeName(vbSystemModal), TypeName(vbYes)
WScript.Echo TypeName(vbString), TypeName(vbLongDate), TypeName(vbUseDefault), TypeName(vbFirstFullWeek)
WScript.Echo TypeName(vbMsgBoxHelpButton), TypeName(vbMsgBoxRight), TypeName(vbObjectError), TypeName(vbWhite), TypeName(vbBlack), TypeName(vbCr)
