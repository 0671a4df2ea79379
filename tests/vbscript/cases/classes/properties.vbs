Class Bag
  Private m_items
  Private m_name
  Private Sub Class_Initialize
    Set m_items = CreateObject("Scripting.Dictionary")
  End Sub
  Public Property Get Name : Name = m_name : End Property
  Public Property Let Name(v) : m_name = UCase(v) : End Property
  Public Property Get Item(k) : Item = m_items(k) : End Property
  Public Property Let Item(k, v) : m_items(k) = v : End Property
  Public Property Get Items : Set Items = m_items : End Property
  Public Property Set Items(d) : Set m_items = d : End Property
  Public Property Get Count : Count = m_items.Count : End Property
  Public Sub Describe
    WScript.Echo "bag", Name, Count
  End Sub
End Class
Set b = New Bag
b.Name = "tools"
b.Item("a") = 1
b.Item("b") = 2
WScript.Echo b.Name, b.Item("b"), b.Count
b.Describe
Set d = CreateObject("Scripting.Dictionary")
d.Add "only", 42
Set b.Items = d
WScript.Echo b.Count, b.Items.Item("only")
Class Node
  Public Value, NextNode
End Class
Dim head, n, i
Set head = Nothing
For i = 1 To 3
  Set n = New Node
  n.Value = i
  Set n.NextNode = head
  Set head = n
Next
Set n = head
Do Until n Is Nothing
  WScript.Echo "node", n.Value
  Set n = n.NextNode
Loop
Class Calc
  Private total
  Public Function Add(v) : total = total + v : Set Add = Me : End Function
  Public Property Get Result : Result = total : End Property
End Class
Set c = New Calc
WScript.Echo c.Add(1).Add(2).Add(3).Result
