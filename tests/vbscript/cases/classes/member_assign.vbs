' Assigning to members of class instances: public and private fields, through
' With, property Let and Set, and the errors of an unreachable or unset target.
Class Box
  Public Size
  Private m_hidden
  Private m_items
  Public Property Let Label(v) : m_hidden = "[" & v & "]" : End Property
  Public Property Get Label : Label = m_hidden : End Property
  Public Property Set Items(d) : Set m_items = d : End Property
  Public Property Get Items : Set Items = m_items : End Property
  Public Sub SetHidden(v) : Me.m_hidden = v : End Sub
End Class
Set b = New Box
b.Size = 3
b.Label = "x"
Set b.Items = CreateObject("Scripting.Dictionary")
b.Items("k") = "v"
With b
  .Size = .Size + 1
  .Label = "y"
End With
WScript.Echo b.Size, b.Label, b.Items.Item("k")
b.SetHidden "inside"
WScript.Echo b.Label
Sub Try(label, code)
  On Error Resume Next
  Execute code
  WScript.Echo label, Err.Number
End Sub
Try "private", "b.m_hidden = 1"
Try "missing", "b.Nope = 1"
Try "nothing", "Set n = Nothing : n.Size = 1"
Try "indexed private", "b.m_items(1) = 2"
Try "with nothing", "With Nothing : .Size = 1 : End With"
