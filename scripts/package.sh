#!/usr/bin/env bash
# The kit and the package as their users meet them, on this machine:
#  1. installs the build into a fresh prefix, builds the example host
#     (examples/host) against that prefix alone, with CMake and with
#     pkg-config, and runs it against a server on loopback;
#  2. makes the Debian package (cpack -G DEB), installs it with dpkg, creates
#     both controls through the installed ctlhost as a user with an empty
#     registry, removes the package and checks that nothing it put there is
#     left. Needs root (or sudo) for dpkg; refuses to touch a tarnwick-update
#     package that was installed before.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-packages.sh dpkg-dev file g++ pkg-config python3
./scripts/setup.sh

build="${BUILD_DIR:-build}"
work=$(mktemp -d)
server=""
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME="$work/xdg/data" XDG_CACHE_HOME="$work/xdg/cache" XDG_DATA_DIRS="$work/xdg/system"
export QT_QPA_PLATFORM=offscreen

echo "== Installing the kit into $work/prefix"
cmake --install "$build" --prefix "$work/prefix" >/dev/null

echo "== Building the example host against the installed kit alone"
cmake -S examples/host -B "$work/example" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/example"
pc_dir=$(dirname "$(find "$work/prefix" -name tarnwick-comhost.pc)")
# shellcheck disable=SC2046
g++ -fPIC examples/host/main.cpp -o "$work/updatehost-pc" \
    $(PKG_CONFIG_PATH="$pc_dir" pkg-config --cflags --libs tarnwick-comhost)
echo "built with pkg-config too"

echo "== Running it against a server on loopback"
mkdir -p "$work/server/local" "$work/app"
cp "$build/tools/sampleproduct/tarnwick-2.0" "$work/server/local/tarnwick.exe"
exec 5< <(exec python3 scripts/demo_server.py --port 0 --root "$work/server" --seconds 0.5)
server=$!
read -r listening <&5
url="$(sed -n 's|.* on \(http://[^ ]*\)/$|\1|p' <<<"$listening")/local/tarnwick.exe"
"$work/prefix/bin/regsvr" "$(find "$work/prefix" -name libUpdate.so)"
for host in "$work/example/updatehost" "$work/updatehost-pc"; do
  rm -f "$work/app/tarnwick.exe"
  timeout 60 "$host" "$url" "$work/app/" "$work/app/update.log"
  cmp "$work/app/tarnwick.exe" "$work/server/local/tarnwick.exe"
  echo "$(basename "$host") placed the served product"
done
kill "$server"
server=""

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if dpkg-query -W -f='${Status}' tarnwick-update 2>/dev/null | grep -q "ok installed"; then
  echo "tarnwick-update is installed already: remove it first (dpkg -r tarnwick-update)" >&2
  exit 1
fi

echo "== Making the Debian package"
(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls "$build"/tarnwick-update_*.deb)
dpkg-deb --info "$package" | sed -n '/Package:/,$p'

echo "== Installing it"
snapshot() { find /usr /etc -xdev 2>/dev/null | grep -v '^/etc/ld.so.cache$' | sort; }
snapshot >"$work/before"
$sudo dpkg -i "$package"
echo "== Both controls for a user with an empty registry"
user="$work/user"
mkdir -p "$user"
printf 'create web qvWebUpdate.ctlWebUpdate\ncreate bar qvWebUpdate.qvProgressBar\nget bar 0x68030006\n' |
  env -u XDG_DATA_DIRS XDG_DATA_HOME="$user/data" XDG_CACHE_HOME="$user/cache" /usr/bin/ctlhost - | tee "$work/out"
grep -qx 'bar 0x68030006 = 100' "$work/out"
[ -z "$(ls -A "$user/data" 2>/dev/null)" ] || { echo "the user's registry was written" >&2; exit 1; }

echo "== Removing it"
installed=$(dpkg -L tarnwick-update | wc -l)
$sudo dpkg -r tarnwick-update
snapshot >"$work/after"
if ! diff "$work/before" "$work/after" >"$work/left"; then
  echo "what the package changed and left behind:" >&2
  cat "$work/left" >&2
  exit 1
fi
echo "removed without a trace: /usr and /etc as before ($installed paths were installed)"
