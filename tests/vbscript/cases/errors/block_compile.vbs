' Compile errors that the block statements report, each through Execute.
Sub Compile(code)
  On Error Resume Next
  ExecuteGlobal code
  WScript.Echo Err.Number, Err.Description
End Sub
Compile "While True" & vbLf & "Exit Do" & vbLf & "Wend"
Compile "Do" & vbLf & "For i = 1 To 2" & vbLf & "Exit Do" & vbLf & "Next" & vbLf & "Loop"
Compile "For i = 1 To 2" & vbLf & "Next j"
Compile "Sub S" & vbLf & "Exit Function" & vbLf & "End Sub"
Compile "Select Case 1" & vbLf & "x = 1" & vbLf & "End Select"
Compile "With x" & vbLf & "End Select"
Compile "Do While True" & vbLf & "x = 1"
Compile "If True Then" & vbLf & "ElseIf False Then x = 1" & vbLf & "Else" & vbLf & "End If"
