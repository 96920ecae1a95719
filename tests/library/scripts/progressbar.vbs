' Every property of the progress bar by name: a new bar's values, then each
' one set and read back, and the write-only Caption.
Set bar = CreateObject("qvWebUpdate.qvProgressBar")

Sub Show()
    WScript.Echo "ReverseGradient=" & bar.ReverseGradient
    WScript.Echo "Horizontal=" & bar.Horizontal
    WScript.Echo "Alignment=" & bar.Alignment
    WScript.Echo "GradientColour=" & bar.GradientColour
    WScript.Echo "MarginSize=" & bar.MarginSize
    WScript.Echo "BorderStyle=" & bar.BorderStyle
    WScript.Echo "BackColour=" & bar.BackColour
    WScript.Echo "FontColour=" & bar.FontColour
    WScript.Echo "BarColour=" & bar.BarColour
    WScript.Echo "Max=" & bar.Max
    WScript.Echo "Min=" & bar.Min
    WScript.Echo "Value=" & bar.Value
    WScript.Echo "DotWidth=" & bar.DotWidth
    WScript.Echo "GapWidth=" & bar.GapWidth
    WScript.Echo "CaptionType=" & bar.CaptionType
End Sub

Show
bar.ReverseGradient = True
bar.Horizontal = False
bar.Alignment = 1
bar.GradientColour = 3
bar.MarginSize = 4
bar.BorderStyle = 0
bar.BackColour = &H102030&
bar.FontColour = &H405060&
bar.BarColour = &H708090&
bar.Max = 200
bar.Min = 10
bar.Value = 150
bar.DotWidth = 5
bar.GapWidth = 1
bar.CaptionType = 3
bar.Caption = "Halfway"
WScript.Echo "--"
Show
On Error Resume Next
caption = bar.Caption
WScript.Echo "Caption read: error " & Err.Number
