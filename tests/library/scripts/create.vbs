' Creates the update control by its ProgID and says how that went; the
' script goes on either way.
On Error Resume Next
Set web = CreateObject("qvWebUpdate.ctlWebUpdate")
If Err.Number = 0 Then
    WScript.Echo "created"
Else
    WScript.Echo "not created: error " & Err.Number
End If
WScript.Echo "the script goes on"
