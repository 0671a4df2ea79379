' Class_Initialize and Class_Terminate order, Me, and objects passed around.
Class Tracer
  Public Name
  Private Sub Class_Initialize : WScript.Echo "init" : End Sub
  Private Sub Class_Terminate : WScript.Echo "terminate", Name : End Sub
  Public Function Self : Set Self = Me : End Function
  Public Sub Rename(newName) : Name = newName : End Sub
End Class
Sub UseLocal()
  Dim t : Set t = New Tracer
  t.Name = "local"
  WScript.Echo "leaving UseLocal"
End Sub
UseLocal
WScript.Echo "back"
Set a = New Tracer
a.Name = "a"
Set b = a.Self()
WScript.Echo a Is b
Set a = Nothing
WScript.Echo "a released, b holds it"
Set b = Nothing
WScript.Echo "both released"
Function Make(n)
  Dim t : Set t = New Tracer
  t.Name = n
  Set Make = t
End Function
Set m = Make("made")
m.Rename "renamed"
Set m = Make("second")
WScript.Echo "replaced"
Set d = CreateObject("Scripting.Dictionary")
d.Add "k", Make("in dictionary")
d.RemoveAll
WScript.Echo "removed"
Set keep = Make("kept to the end")
WScript.Echo "end of script"
