#!/usr/bin/env bash
# The main job: a real update of the sample product. Sets up and builds,
# registers the control library, lays out an application folder with
# TarnwickUpdate and an older tarnwick.exe, serves a newer one from a real
# HTTP server on 127.0.0.1, signed with a minisign key made for the demo,
# with a patch from the older one beside it, runs TarnwickUpdate (built to
# require that key) in a window (a virtual display when there is no
# display), shows what happened, then runs the same update through ctlhost
# to show the control's log.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

build="${BUILD_DIR:-build}"
demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo/app" "$demo/server/local" "$demo/xdg"
export XDG_DATA_HOME="$PWD/$demo/xdg" XDG_CACHE_HOME="$PWD/$demo/cache"

url=$(sed -n 's/^TARNWICK_DOWNLOAD_URL:STRING=//p' "$build/CMakeCache.txt")
port=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.urlsplit(sys.argv[1]).port or 80)' "$url")

echo "== Registering the control library"
"$build/tools/regsvr" "$build/update/library/libUpdate.so"

echo "== Signing the new product with a key made for the demo"
cp "$build/tools/sampleproduct/tarnwick-2.0" "$demo/server/local/tarnwick.exe"
minisign -G -W -p "$demo/minisign.pub" -s "$demo/minisign.key" >/dev/null
minisign -S -s "$demo/minisign.key" -m "$demo/server/local/tarnwick.exe" >/dev/null
key=$(sed -n 2p "$demo/minisign.pub")
cat "$demo/server/local/tarnwick.exe.minisig"

echo "== The patch from tarnwick.exe 1.0 to 2.0"
./scripts/make-patches.sh "$demo/server/local/tarnwick.exe" "$build/tools/sampleproduct/tarnwick-1.0"

echo "== Building TarnwickUpdate for the public key $key"
# The build goes back to its own key right after, so the tests keep
# running the program they expect.
own_key=$(sed -n 's/^TARNWICK_PUBLIC_KEY:STRING=//p' "$build/CMakeCache.txt")
updater_for_key() {
  cmake -S . -B "$build" -DTARNWICK_PUBLIC_KEY="$1"
  cmake --build "$build" --target TarnwickUpdate
}
trap 'updater_for_key "$own_key"' EXIT
updater_for_key "$key"
cp "$build/updater/TarnwickUpdate" "$demo/app/"
updater_for_key "$own_key"
trap - EXIT

echo "== The installed product"
cp "$build/tools/sampleproduct/tarnwick-1.0" "$demo/app/tarnwick.exe"
"$demo/app/tarnwick.exe"
rm -f "$demo/app/tarnwick-started.txt"
ls -l "$demo/app"

echo "== Serving the new product and its signature at $url"
exec 5< <(exec python3 scripts/demo_server.py --port "$port" --root "$demo/server" --seconds 4)
server=$!
# Its first line says it listens; none means the address is not ours.
if ! read -r listening <&5; then
  echo "Can't serve at $url: is port $port taken by another program?" >&2
  exit 1
fi
echo "$listening"
cat <&5 &
xvfb=""
cleanup() {
  kill "$server" 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  # No display here: a virtual one, so the window is real and can be pictured.
  exec 3< <(Xvfb -displayfd 1 -screen 0 800x600x24 -nolisten tcp 2>/dev/null)
  xvfb=$!
  read -r number <&3
  export DISPLAY=":$number"
fi
export QT_QPA_PLATFORM=xcb

echo "== Running TarnwickUpdate on display $DISPLAY"
start=$(date +%s.%N)
"$demo/app/TarnwickUpdate" &
updater=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tarnwick - Checking for updates$' | head -n 1) || true
sleep 2.5
"$build/tools/screengrab/screengrab" "$window" "$demo/screenshot.png" || true
status=0
wait "$updater" || status=$?
end=$(date +%s.%N)
echo "TarnwickUpdate ended with status $status after $(python3 -c "print(round($end - $start, 1))") s"

echo "== What happened"
sleep 0.5
ls -l "$demo/app"
if cmp -s "$demo/app/tarnwick.exe" "$demo/server/local/tarnwick.exe"; then
  echo "tarnwick.exe was replaced by the served version, whose signature TarnwickUpdate checked:"
  minisign -V -p "$demo/minisign.pub" -x "$demo/server/local/tarnwick.exe.minisig" -m "$demo/app/tarnwick.exe"
else
  echo "tarnwick.exe was NOT replaced."
fi
echo "The product's record of its start:"
cat "$demo/app/tarnwick-started.txt" 2>/dev/null || echo "(the product did not start)"
echo "A picture of the window during the download: $demo/screenshot.png"

echo "== The same update through ctlhost, with the control's log"
cp "$build/tools/sampleproduct/tarnwick-1.0" "$demo/app/tarnwick.exe"
printf 'create web qvWebUpdate.ctlWebUpdate\nput web 0x68030000 "%s"\nput web 0x68030005 "%s"\nput web 0x68030006 "%s"\ncall web 0x60030007\n' \
  "$demo/update.log" "$url" "$demo/app/" | QT_QPA_PLATFORM=offscreen "$build/tools/ctlhost/ctlhost" - >/dev/null
grep -e "patch" -e "Download Complete" "$demo/update.log" || { echo "The log says nothing of a patch."; status=1; }
cmp -s "$demo/app/tarnwick.exe" "$demo/server/local/tarnwick.exe" || { echo "tarnwick.exe was NOT replaced."; status=1; }
exit "$status"
