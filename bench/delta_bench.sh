#!/usr/bin/env bash
# The patch benchmark, on loopback only: two releases of a program this
# project builds, libUpdate.so of an older commit and of this tree, both
# stripped as the Debian package ships them; the patch between them
# (scripts/make-patches.sh) against the file, and the time of a whole
# update run (bench/download_driver) that rebuilds the new release from the
# patch against one that downloads it whole, from a server throttled to
# 10 Mbit/s and to 100 Mbit/s (bench/throttled_server.py), best of three.
#
#   bench/delta_bench.sh [build dir] [older commit]   (default: build, HEAD~12)
#   DELTA_BENCH_DEBUG=1   both releases with their debug information (35
#                         times larger, as a build folder holds them)
# The older release is built once (libUpdate.so alone, 5 to 10 minutes on
# 2 cores) in /tmp/tarnwick-delta-bench-COMMIT/, which stays for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=${1:-build}
DRIVER=$BUILD/bench/download_driver
[ -x "$DRIVER" ] || { echo "build $DRIVER first (ninja -C $BUILD download_driver)" >&2; exit 2; }
commit=$(git rev-parse --short "${2:-HEAD~12}")
older=/tmp/tarnwick-delta-bench-$commit
if [ ! -f "$older/build/update/library/libUpdate.so" ]; then
  echo "== Building libUpdate.so of $commit ($(git log -1 --format=%cd --date=short "$commit")) in $older"
  rm -rf "$older"
  mkdir -p "$older/src"
  git archive "$commit" | tar -x -C "$older/src"
  cmake -S "$older/src" -B "$older/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_BUILD_TESTS=OFF \
    -DTARNWICK_BUILD_BENCH=OFF >/dev/null
  cmake --build "$older/build" --target Update >/dev/null
fi

WORK=$(mktemp -d /tmp/tarnwick-delta-bench.XXXXXX)
PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$WORK"
}
trap cleanup EXIT
mkdir -p "$WORK/whole" "$WORK/patched"
release() {
  if [ -n "${DELTA_BENCH_DEBUG:-}" ]; then cp "$(readlink -f "$1")" "$2"; else strip --strip-unneeded -o "$2" "$(readlink -f "$1")"; fi
}
release "$older/build/update/library/libUpdate.so" "$WORK/old.so"
release "$BUILD/update/library/libUpdate.so" "$WORK/whole/libUpdate.so"
cp "$WORK/whole/libUpdate.so" "$WORK/patched/"
echo "== The releases: libUpdate.so of $commit and of $(git rev-parse --short HEAD)$(git diff --quiet HEAD || echo ' with changes')"
./scripts/make-patches.sh "$WORK/patched/libUpdate.so" "$WORK/old.so" | sed "s|$WORK/||"
new_bytes=$(stat -c %s "$WORK/whole/libUpdate.so")
patch_bytes=$(stat -c %s "$WORK"/patched/libUpdate.so.delta/*)

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
wait_for_port() { for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$1/" && return 0; sleep 0.1; done; return 1; }
field() { sed -n "s/.*$1=\([0-9-]*\).*/\1/p"; }

# run ROOT PORT: the best of three runs (total_ms) with the older release in
# place, each from an empty cache; the placed file must be the new release.
run() {
  local best=0 line ms
  for _ in 1 2 3; do
    rm -rf "$WORK/dest" "$WORK/cache"
    mkdir -p "$WORK/dest"
    cp "$WORK/old.so" "$WORK/dest/libUpdate.so"
    line=$("$DRIVER" "http://127.0.0.1:$2/libUpdate.so" "$WORK/dest/" "$WORK/cache")
    cmp -s "$WORK/dest/libUpdate.so" "$WORK/whole/libUpdate.so" || { echo "the placed file differs" >&2; exit 1; }
    ms=$(echo "$line" | field total_ms)
    if [ "$best" -eq 0 ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}

echo "== Whole runs (each with the control's two 1 s pauses), best of three"
printf '%-10s %12s %12s %9s %22s\n' "link" "whole (ms)" "patch (ms)" "speed-up" "without the pauses"
for mbit in 10 100; do
  rate=$((mbit * 1000 * 1000 / 8))
  whole_port=$(free_port)
  python3 bench/throttled_server.py "$whole_port" "$WORK/whole" "$rate" &
  PIDS+=($!)
  patched_port=$(free_port)
  python3 bench/throttled_server.py "$patched_port" "$WORK/patched" "$rate" &
  PIDS+=($!)
  wait_for_port "$whole_port" && wait_for_port "$patched_port"
  whole=$(run "$WORK/whole" "$whole_port")
  patched=$(run "$WORK/patched" "$patched_port")
  awk -v l="$mbit Mbit/s" -v w="$whole" -v p="$patched" \
    'BEGIN { printf "%-10s %12d %12d %8.1fx %21.1fx\n", l, w, p, w / p, (w - 2000) / (p - 2000) }'
done
awk -v p="$patch_bytes" -v n="$new_bytes" \
  'BEGIN { printf "patch: %d of %d bytes, %.1f %% (aim: under 15 %%); aim at 10 Mbit/s: at least 5x\n", p, n, 100 * p / n }'
