# The host's StatusChange handler raises an error: the run's trap reports it
# and the run goes no further, but RunUpdate itself returns normally.
create web qvWebUpdate.ctlWebUpdate
put web 0x68030000 "@DIR@/update.log"
put web 0x68030005 "nothing://here/tarnwick.exe"
put web 0x68030006 "@DIR@/app/"
fail-status web 70
answer ok
call web 0x60030007
get web 0x68030005
