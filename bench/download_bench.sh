#!/usr/bin/env bash
# The download benchmarks of the update control, on loopback only:
#  1. throughput: a 1 GiB file through the control against curl -o, from the
#     same static server, best of three runs each;
#  2. the same from a server that sends with sendfile(2), with the control's
#     cache and curl's output on /dev/shm, so the client is what is measured;
#  3. CPU while waiting: a file trickled over 20 seconds, CPU time / wall time;
#  4. memory: peak resident memory of a 1 GiB download against a 1 MiB one.
#
#   bench/download_bench.sh [build dir]      (default: build)
# Big files go to folders under /tmp and /dev/shm that the script removes at
# the end.
set -euo pipefail

BUILD=${1:-build}
DRIVER=$BUILD/bench/download_driver
[ -x "$DRIVER" ] || { echo "build $DRIVER first (ninja -C $BUILD download_driver)" >&2; exit 2; }
WORK=$(mktemp -d /tmp/tarnwick-bench.XXXXXX)
SHM=$(mktemp -d /dev/shm/tarnwick-bench.XXXXXX)
PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$WORK" "$SHM"
}
trap cleanup EXIT

mkdir -p "$WORK/www" "$WORK/dest" "$WORK/cache"
head -c $((1024 * 1024 * 1024)) /dev/urandom > "$WORK/www/big.bin"
head -c $((1024 * 1024)) /dev/urandom > "$WORK/www/small.bin"

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
wait_for_port() { for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$1/" && return 0; sleep 0.1; done; return 1; }

STATIC=$(free_port)
python3 -m http.server "$STATIC" --bind 127.0.0.1 --directory "$WORK/www" >/dev/null 2>&1 &
PIDS+=($!)
wait_for_port "$STATIC" || true

field() { sed -n "s/.*$1=\([0-9-]*\).*/\1/p"; }
# A cache folder of its own for one run: the copy a run before kept (the
# server sends Last-Modified) would be answered 304 and nothing measured.
fresh_cache() { rm -rf "$WORK/cache"; echo "$WORK/cache"; }
now_ms() { date +%s%3N; }

# throughput URL FOLDER: the best of three downloads of URL by curl -o and
# by the control, each writing under FOLDER.
throughput() {
    local url=$1 folder=$2 curl_ms=0 control_ms=0 total_ms=0
    mkdir -p "$folder/dest" "$folder/cache"
    # One warm-up read so every run sees the file in the page cache.
    curl -s -o /dev/null "$url"
    for _ in 1 2 3; do
        local start ms line
        start=$(now_ms)
        curl -s -o "$folder/curl.bin" "$url"
        ms=$(( $(now_ms) - start ))
        rm -f "$folder/curl.bin"
        if [ "$curl_ms" -eq 0 ] || [ "$ms" -lt "$curl_ms" ]; then curl_ms=$ms; fi
        line=$("$DRIVER" "$url" "$folder/dest/" "$folder/cache")
        cmp -s "$WORK/www/big.bin" "$folder/dest/big.bin" || { echo "placed file differs" >&2; exit 1; }
        rm -rf "$folder/dest/big.bin" "$folder/cache"
        ms=$(echo "$line" | field download_ms)
        if [ "$control_ms" -eq 0 ] || [ "$ms" -lt "$control_ms" ]; then
            control_ms=$ms
            total_ms=$(echo "$line" | field total_ms)
        fi
    done
    echo "curl -o:  ${curl_ms} ms"
    echo "control:  ${control_ms} ms (download; the run took ${total_ms} ms with its two 1 s pauses)"
    awk -v c="$control_ms" -v k="$curl_ms" 'BEGIN { printf "ratio:    %.2f (aim: at most 1.10)\n", c / k }'
}

echo "== throughput: 1 GiB over loopback"
throughput "http://127.0.0.1:$STATIC/big.bin" "$WORK"

echo "== throughput: 1 GiB from a sendfile server, written to /dev/shm"
SENDFILE=$(free_port)
python3 "$(dirname "$0")/sendfile_server.py" "$SENDFILE" "$WORK/www" &
PIDS+=($!)
wait_for_port "$SENDFILE" || true
throughput "http://127.0.0.1:$SENDFILE/big.bin" "$SHM"

echo "== CPU while waiting: a file trickled over 20 s"
TRICKLE=$(free_port)
python3 "$(dirname "$0")/trickle_server.py" "$TRICKLE" $((2 * 1024 * 1024)) 20 &
PIDS+=($!)
sleep 0.5
line=$("$DRIVER" "http://127.0.0.1:$TRICKLE/slow.bin" "$WORK/dest/" "$(fresh_cache)")
cpu=$(echo "$line" | field cpu_ms)
wall=$(echo "$line" | field total_ms)
echo "cpu ${cpu} ms over wall ${wall} ms"
awk -v c="$cpu" -v w="$wall" 'BEGIN { printf "cpu/wall: %.2f %% (aim: under 2 %%)\n", 100 * c / w }'

echo "== memory: peak resident memory"
line=$("$DRIVER" "http://127.0.0.1:$STATIC/small.bin" "$WORK/dest/" "$(fresh_cache)")
small_rss=$(echo "$line" | field maxrss_kib)
line=$("$DRIVER" "http://127.0.0.1:$STATIC/big.bin" "$WORK/dest/" "$(fresh_cache)")
big_rss=$(echo "$line" | field maxrss_kib)
echo "1 MiB: ${small_rss} KiB, 1 GiB: ${big_rss} KiB"
awk -v s="$small_rss" -v b="$big_rss" 'BEGIN { printf "difference: %.1f MiB (aim: within 20 MiB)\n", (b - s) / 1024 }'
