Class Box
  Public W, H, Inner
End Class
Set b = New Box
Set b.Inner = New Box
With b
  .W = 2 : .H = 3
  With .Inner
    .W = 10
    .H = b.W * 5
  End With
  WScript.Echo .W * .H, .Inner.W, .Inner.H
End With
Set d = CreateObject("Scripting.Dictionary")
With d
  .Add "one", 1
  .Item("two") = 2
End With
WScript.Echo d.Count, d("two")
