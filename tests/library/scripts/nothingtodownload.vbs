' An update control made by a script, run with nothing to download.
Set web = CreateObject("qvWebUpdate.ctlWebUpdate")
web.RunUpdate
WScript.Echo "RunUpdate returned"
