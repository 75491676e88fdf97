' A capture host written in VBScript, run by Wine's cscript: every host
' object is a VBScript class, which Wine's engine exposes through
' IDispatchEx only. It releases one document (a header and a line) into
' the bridge database named by the first argument and echoes what happened;
' its last line is "done" (cscript exits 0 after a script error).
'
'   cscript //nologo release_host.vbs LINUX-PATH-OF-DATABASE
Option Explicit

' One member to a Public line: Wine 8's VBScript takes no list there in a class.

Class HostProperty
  Public Value
End Class

Class HostCustomProperties
  Public Library
  Public Function Item(name)
    If LCase(name) = "serverapilibrary" Then
      Set Item = New HostProperty
      Item.Value = Library
    Else
      Set Item = Nothing
    End If
  End Function
End Class

Class HostValue
  Public Destination
  Public Value
  Public TableName
End Class

Class HostValues
  Private entries
  Public Sub Init(pairs)
    Dim i, entry
    ReDim entries(UBound(pairs) \ 2)
    For i = 0 To UBound(entries)
      Set entry = New HostValue
      entry.Destination = pairs(2 * i)
      entry.Value = pairs(2 * i + 1)
      entry.TableName = ""
      Set entries(i) = entry
    Next
  End Sub
  Public Property Get Count
    Count = UBound(entries) + 1
  End Property
  Public Function Item(position)
    Set Item = entries(position - 1)
  End Function
End Class

Class HostReleaseData
  Public KofaxPDFFileName
  Public ConnectString
  Public UserName
  Public Password
  Public UniqueDocumentID
  Public CustomProperties
  Public Values
  Public Sub LogError(severity, a, b, message, codeModule, line)
    WScript.Echo "log " & severity & ": " & message
  End Sub
  Public Sub SendMessage(message, number, kind)
    WScript.Echo "message: " & message
  End Sub
End Class

Dim script, data, lines, properties, back
Set script = CreateObject("mirdane.LorvenExportConnector")
Set back = script.DocumentData
WScript.Echo "unset DocumentData is Nothing: " & (back Is Nothing)

Set properties = New HostCustomProperties
properties.Library = "MAIN"
Set lines = New HostValues
lines.Init Array("UAGYCPP.GYALNA", "VBS-1", "UAGYCPP.GYHBCD", "V1001", _
                  "UAG0CPP.G0FRNA", "Rent")
Set data = New HostReleaseData
data.KofaxPDFFileName = "vbs.pdf"
data.ConnectString = "odbc:DRIVER={SQLite3};Database=" & WScript.Arguments(0)
data.UserName = ""
data.Password = ""
data.UniqueDocumentID = ""
Set data.CustomProperties = properties
Set data.Values = lines

Set script.DocumentData = data
Set back = script.DocumentData
WScript.Echo "DocumentData reads back as the host's object: " & (back Is data)
WScript.Echo "ReleaseDoc: " & script.ReleaseDoc()
WScript.Echo "CloseScript: " & script.CloseScript()
WScript.Echo "done"
