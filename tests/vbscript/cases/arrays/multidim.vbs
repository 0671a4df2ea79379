Dim grid(2, 3)
For r = 0 To 2
  For c = 0 To 3
    grid(r, c) = r * 10 + c
  Next
Next
WScript.Echo grid(2, 3), grid(1, 0), UBound(grid), UBound(grid, 2), LBound(grid, 2)
s = ""
For Each v In grid : s = s & v & " " : Next
WScript.Echo s
ReDim cube(1, 1, 1)
cube(1, 1, 1) = "deep"
WScript.Echo cube(1, 1, 1), UBound(cube, 3)
On Error Resume Next
x = grid(3, 0)
WScript.Echo "row out of range", Err.Number
Err.Clear
x = grid(1)
WScript.Echo "too few indexes", Err.Number
Err.Clear
WScript.Echo UBound(grid, 3)
WScript.Echo "no third dimension", Err.Number
Err.Clear
ReDim Preserve grid(3, 3)
WScript.Echo "fixed array", Err.Number
Err.Clear
Dim dyn()
ReDim dyn(1, 1)
ReDim Preserve dyn(2, 1)
WScript.Echo "preserve first dimension", Err.Number
Err.Clear
x = UBound(dyn)
Dim fresh()
x = UBound(fresh)
WScript.Echo "unallocated", Err.Number
