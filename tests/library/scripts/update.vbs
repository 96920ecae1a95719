' One update run by a script: the update control created by its ProgID,
' set up by name, and run. Arguments: the product's address, the folder it
' goes to, the log file.
Set web = CreateObject("qvWebUpdate.ctlWebUpdate")
web.DownloadFile = WScript.Arguments(0)
web.DownloadLocation = WScript.Arguments(1)
web.LogFilename = WScript.Arguments(2)
web.ConfirmDownload = False
WScript.Echo "DownloadFile=" & web.DownloadFile
WScript.Echo "ConfirmDownload=" & web.ConfirmDownload
web.RunUpdate
WScript.Echo "RunUpdate returned"
