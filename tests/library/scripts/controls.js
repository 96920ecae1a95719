// Both controls created by their ProgIDs from JScript, set and read by name
// (a new update control asks nothing before downloading: ConfirmDownload False).
var web = new ActiveXObject("qvWebUpdate.ctlWebUpdate");
web.CurrentVersion = "1.2";
web.AutoRun = true;
WScript.Echo("CurrentVersion=" + web.CurrentVersion + " AutoRun=" + web.AutoRun + " ConfirmDownload=" + web.ConfirmDownload);
var bar = new ActiveXObject("qvWebUpdate.qvProgressBar");
bar.Max = 50;
bar.Value = 25;
bar.GradientColour = 3;
WScript.Echo("Max=" + bar.Max + " Value=" + bar.Value + " GradientColour=" + bar.GradientColour);
