#!/usr/bin/env bash
# One Windows edition's packages as an administrator meets them, under Wine
# on the display it is given, in a pristine Wine prefix of their own
# (BUILD-DIR/wine-packages): the installer run silently; the files in the
# Program Files folder of the edition's width; the registration; both
# controls created and an update run by VBScript under that width's cscript;
# the installed TarnwickUpdate.exe updating and starting a product placed
# beside it; the uninstall entry; the uninstaller run silently, as the entry
# says, leaving nothing behind. Then the zip's register.cmd, and an
# installer whose registration fails. Every wait is bounded.
#   usage: scripts/windows/package-test.sh BUILD-DIR   (after package.sh)
set -euo pipefail
cd "$(dirname "$0")/../.."
source=$(pwd)

build=$(cd "$1" && pwd)
packages="$build/packages"
setup=$(ls "$packages"/*-setup.exe)
name=$(basename "$setup" -setup.exe)
arch=${name##*-}
export WINEPREFIX="$build/wine-packages"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$arch" = x86_64 ]; then
  wine=/usr/lib/wine/wine64
  system=system32
  programs="Program Files"
  view=/reg:64
else
  wine=/usr/lib/wine/wine
  system=syswow64
  programs="Program Files (x86)"
  view=/reg:32
fi
folder="$WINEPREFIX/drive_c/$programs/Tarnwick Update"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TarnwickUpdate'
progid_key='HKCR\qvWebUpdate.ctlWebUpdate\CLSID'
url=$(sed -n 's/^TARNWICK_DOWNLOAD_URL:STRING=//p' "$build/CMakeCache.txt")
port=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.urlsplit(sys.argv[1]).port or 80)' "$url")

failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
run() { timeout 120 "$wine" "$@"; }
windows_path() { winepath -w "$1" 2>/dev/null; }
has_key() { run reg query "$1" "$view" >/dev/null 2>&1; }
listing() { (cd "$1" && find . -mindepth 1 | sort); }

server=""
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w

echo "== $name: the installer, silently"
status=0
run "$setup" /S || status=$?
if [ "$status" -ne 0 ]; then
  echo "FAILED: the installer ended with status $status" >&2
  exit 1
fi
expected=$( (listing "$packages/$name" | grep -v '^./register.cmd$'; echo ./Uninstall.exe) | sort)
[ "$(listing "$folder" 2>/dev/null)" = "$expected" ] || fail "C:\\$programs\\Tarnwick Update doesn't hold what was staged"
clsid=$(run reg query "$progid_key" "$view" /ve 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p') || true
[ -n "$clsid" ] || fail "$progid_key isn't there"
class_key="HKCR\\CLSID\\$clsid"
entry=$(run reg query "$uninstall_key" "$view" 2>/dev/null | tr -d '\r') || fail "no uninstall entry"
for value in DisplayName DisplayVersion Publisher UninstallString QuietUninstallString EstimatedSize; do
  grep -q "^ *$value " <<<"$entry" || fail "the uninstall entry has no $value"
done
grep -q '^ *DisplayVersion *REG_SZ *1\.0\.0\.0$' <<<"$entry" || fail "DisplayVersion isn't 1.0.0.0"
echo "$entry" | sed '/^$/d'

echo "== Both controls by VBScript, under C:\\windows\\$system\\cscript.exe"
mkdir -p "$build/package-test/server/local" "$build/package-test/app"
cp "$build/bin/tarnwick-2.0.exe" "$build/package-test/server/local/tarnwick.exe"
exec 5< <(exec python3 scripts/demo_server.py --port "$port" --root "$build/package-test/server" --seconds 0)
server=$!
read -r listening <&5 || { echo "Can't serve at $url: is port $port taken?" >&2; exit 1; }
cat <&5 >/dev/null &
app=$(windows_path "$build/package-test/app")
said=$(run "C:\\windows\\$system\\cscript.exe" //nologo "$(windows_path "$source/tests/library/scripts/update.vbs")" \
  "$url" "$app\\" "$app\\update.log" 2>&1 | tr -d '\r') || fail "update.vbs failed: $said"
grep -qx "RunUpdate returned" <<<"$said" || fail "update.vbs said: $said"
cmp -s "$build/package-test/app/tarnwick.exe" "$build/bin/tarnwick-2.0.exe" || fail "update.vbs didn't place the product"
said=$(run "C:\\windows\\$system\\cscript.exe" //nologo \
  "$(windows_path "$source/tests/library/scripts/progressbar.vbs")" 2>&1 | tr -d '\r') || true
grep -qx "Max=200" <<<"$said" || fail "progressbar.vbs said: $said"

echo "== The installed TarnwickUpdate.exe"
cp "$build/bin/tarnwick-1.0.exe" "$folder/tarnwick.exe"
run "$folder/TarnwickUpdate.exe" || fail "TarnwickUpdate.exe ended with status $?"
for _ in $(seq 20); do
  [ -f "$folder/tarnwick-started.txt" ] && break
  sleep 0.5
done
cmp -s "$folder/tarnwick.exe" "$build/bin/tarnwick-2.0.exe" || fail "TarnwickUpdate.exe didn't replace tarnwick.exe"
[ -f "$folder/tarnwick-started.txt" ] || fail "TarnwickUpdate.exe didn't start the product"
# The product is the user's, not the package's: it goes before the package does.
rm -f "$folder/tarnwick.exe" "$folder/tarnwick-started.txt"

echo "== The uninstaller, as the uninstall entry says"
quiet=$(sed -n 's/^ *QuietUninstallString *REG_SZ *//p' <<<"$entry")
status=0
eval "run $quiet" || status=$?
timeout 60 wineserver -w || true
[ "$status" -eq 0 ] || fail "the uninstaller ended with status $status"
[ ! -e "$folder" ] || fail "left behind: $(listing "$folder" | tr '\n' ' ')"
! has_key "$progid_key" || fail "$progid_key is still there"
! has_key "$class_key" || fail "ctlWebUpdate's class is still registered"
! has_key "$uninstall_key" || fail "the uninstall entry is still there"

echo "== The zip's register.cmd"
unzipped="$WINEPREFIX/drive_c/unzipped"
mkdir -p "$unzipped"
(cd "$unzipped" && cmake -E tar xf "$packages/$name.zip")
register="C:\\unzipped\\$name\\register.cmd"
run cmd /c "$register" /s || fail "register.cmd ended with status $?"
inproc=$(run reg query "$class_key\\InprocServer32" "$view" /ve 2>/dev/null |
  tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p')
expected="${register%register.cmd}Update.dll"
[ "${inproc,,}" = "${expected,,}" ] || fail "register.cmd registered \"$inproc\""
run cmd /c "$register" /u /s || fail "register.cmd /u ended with status $?"
! has_key "$progid_key" || fail "register.cmd /u left $progid_key"

echo "== An installer whose registration fails (libsodium-23.dll can't load)"
status=0
said=$(WINEDLLOVERRIDES="$WINEDLLOVERRIDES;libsodium-23=d" timeout 120 "$wine" "$setup" /S 2>&1 >/dev/null |
  tr -d '\r') || status=$?
echo "$said"
[ "$status" -eq 2 ] || fail "it ended with status $status, not 2"
grep -q '^Update.dll could not be registered: .* (0x0000007E)$' <<<"$said" || fail "it didn't say why"
! has_key "$uninstall_key" || fail "it wrote an uninstall entry"
[ ! -e "$folder/Uninstall.exe" ] || fail "it left an uninstaller"

if [ "$failures" -gt 0 ]; then
  echo "$name: $failures checks failed" >&2
  exit 1
fi
echo "$name: installed, used, uninstalled without a trace; register.cmd and a failed registration as they should be"
