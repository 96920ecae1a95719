#!/usr/bin/env bash
# The Windows edition's demo, under Wine on the display it is given: a
# real update of the sample product. Registers Update.dll with regsvr32,
# installs TarnwickUpdate.exe with the DLLs and plugins it needs and an older
# tarnwick.exe in an application folder, serves a newer one from a real
# HTTP server on 127.0.0.1, runs TarnwickUpdate.exe, pictures its window
# during the download and shows what happened. Every wait is bounded.
#   usage: scripts/windows/demo.sh BUILD-DIR   (scripts/windows.sh runs it)
set -euo pipefail
cd "$(dirname "$0")/../.."

build=$(cd "$1" && pwd)
bin="$build/bin"
wine_run="$build/wine-run.sh"
demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo/app" "$demo/server/local"

# Windows' own programs (regsvr32) take Windows paths.
dll=$(WINEPREFIX="$build/wine" winepath -w "$bin/Update.dll" 2>/dev/null)
url=$(sed -n 's/^TARNWICK_DOWNLOAD_URL:STRING=//p' "$build/CMakeCache.txt")
port=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.urlsplit(sys.argv[1]).port or 80)' "$url")

echo "== Registering Update.dll"
timeout 60 "$wine_run" regsvr32 /s "$dll"

echo "== The installed product: TarnwickUpdate.exe and what it needs, and tarnwick.exe 1.0"
for entry in "$bin"/*; do
  name=$(basename "$entry")
  case "$name" in
    Update.dll | scripts) ;;
    *.dll | TarnwickUpdate.exe) cp "$entry" "$demo/app/" ;;
    *) [ -d "$entry" ] && cp -r "$entry" "$demo/app/" ;;
  esac
done
cp "$bin/tarnwick-1.0.exe" "$demo/app/tarnwick.exe"
cp "$bin/tarnwick-2.0.exe" "$demo/server/local/tarnwick.exe"

echo "== Serving tarnwick.exe 2.0 at $url"
exec 5< <(exec python3 scripts/demo_server.py --port "$port" --root "$demo/server" --seconds 4)
server=$!
updater=""
cleanup() {
  kill "$server" 2>/dev/null || true
  [ -z "$updater" ] || kill "$updater" 2>/dev/null || true
  timeout 60 "$wine_run" regsvr32 /u /s "$dll" || true
}
trap cleanup EXIT
# Its first line says it listens; none means the address is not ours.
if ! read -r listening <&5; then
  echo "Can't serve at $url: is port $port taken by another program?" >&2
  exit 1
fi
echo "$listening"
cat <&5 &

echo "== Running TarnwickUpdate.exe"
start=$(date +%s.%N)
"$wine_run" "$demo/app/TarnwickUpdate.exe" &
updater=$!
title="Tarnwick - Checking for updates"
# The window is up once it can be pictured; the picture comes during the
# download, a few seconds later.
for _ in $(seq 40); do
  timeout 30 "$wine_run" "$bin/screengrab.exe" "$title" "$demo/screenshot.png" 2>/dev/null && break
  sleep 0.25
done
sleep 2.5
timeout 30 "$wine_run" "$bin/screengrab.exe" "$title" "$demo/screenshot.png" || true
status=0
for _ in $(seq 120); do
  kill -0 "$updater" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$updater" 2>/dev/null; then
  echo "TarnwickUpdate.exe did not end within a minute"
  status=1
else
  wait "$updater" || status=$?
  updater=""
fi
end=$(date +%s.%N)
echo "TarnwickUpdate.exe ended with status $status after $(python3 -c "print(round($end - $start, 1))") s"

echo "== What happened"
sleep 1
ls -l "$demo/app" | grep -v -e '\.dll$' -e '^d'
if cmp -s "$demo/app/tarnwick.exe" "$demo/server/local/tarnwick.exe"; then
  echo "tarnwick.exe was replaced by the served version."
else
  echo "tarnwick.exe was NOT replaced."
  status=1
fi
echo "The product's record of its start:"
cat "$demo/app/tarnwick-started.txt" 2>/dev/null || { echo "(the product did not start)"; status=1; }
echo "A picture of the window during the download: $demo/screenshot.png"
exit "$status"
