# A progress bar along the blue ramp, half full, pictured.
create bar qvWebUpdate.qvProgressBar
resize bar 202 32
put bar 0x6803000C 3
put bar 0x68030004 50
get bar 0x68030004
put bar 0x68030003 40000
get bar 0x68030003
put bar 0x6803000D 7
grab bar "@DIR@/bar.png"
