# A whole update through the container: version check, question, download, placing.
create web qvWebUpdate.ctlWebUpdate
put web 0x68030000 "@DIR@/update.log"
put web 0x68030005 "@SERVER@/local/tarnwick.exe"
put web 0x68030006 "@DIR@/app/"
put web 0x68030004 "@SERVER@/version.txt"
put web 0x68030003 "1.9"
put web 0x68030002 true
replace-status web "Seen by the host"
answer yes
call web 0x60030007
get web 0x68030005
# A box with no answer queued for it.
put web 0x68030000 "@DIR@/second.log"
put web 0x68030005 ""
call web 0x60030007
save web "@DIR@/web.json"
# Restored from the saved bag: the host hears of no change.
create again qvWebUpdate.ctlWebUpdate "@DIR@/web.json"
get again 0x68030003
