#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (in build-fuzz/, or
# $FUZZ_BUILD_DIR) and runs them from the checked-in corpus (fuzz/corpus/).
#   scripts/fuzz.sh TARGET SECONDS   one target (responsehead, signature, ...) for as long as asked
#   scripts/fuzz.sh                  every target for $FUZZ_SECONDS (default 60) each, as CI does
# A crash, a sanitizer report, a failed "must hold", a leak or an input
# taking more than 10 seconds fails the run; libFuzzer prints the input
# (Base64) and keeps it in build-fuzz/findings/ as a reproducer: run the
# target with that file as its argument to see it again.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-packages.sh clang-16 libfuzzer-16-dev libclang-rt-16-dev cmake ninja-build pkg-config qt6-base-dev libgl-dev \
  libsodium-dev libzstd-dev libcurl4-openssl-dev

build="${FUZZ_BUILD_DIR:-build-fuzz}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-16 \
    -DTARNWICK_FUZZ=ON -DTARNWICK_BUILD_TESTS=OFF -DTARNWICK_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target fuzzers -j "$(nproc)"

dictionary() {
  case "$1" in
    responsehead) echo http ;;
    propertystore | streamrecord) echo json ;;
    registry) echo registry ;;
    ctlhostscript) echo ctlhost ;;
    signature) echo signature ;;
  esac
}

# Runs one target; its new inputs go to a working corpus beside the build,
# never into the checked-in one.
run() {
  local target=$1 seconds=$2 dict work="$build/fuzz/corpus/$1" findings="$build/findings"
  mkdir -p "$work" "$findings"
  local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
                 -artifact_prefix="$findings/$target-")
  dict=$(dictionary "$target")
  [ -z "$dict" ] || options+=(-dict="fuzz/dict/$dict.dict")
  echo "== $target for $seconds s"
  local log="$build/findings/$target.log" status=0
  "$build/fuzz/${target}_fuzzer" "${options[@]}" "$work" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    cat "$log" >&2
    echo "$target FAILED (status $status); the input is in $findings" >&2
    return 1
  fi
  local runs rate
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/.*DONE.* exec\/s: \([0-9]*\).*/\1/p' "$log")
  echo "$target: $runs runs, $rate per second, nothing found"
}

targets=(responsehead versionfile signature propertystore streamrecord registry ctlhostscript patch)
if [ $# -ge 1 ]; then
  run "$1" "${2:-60}"
else
  failed=0
  for target in "${targets[@]}"; do
    run "$target" "${FUZZ_SECONDS:-60}" || failed=1
  done
  exit "$failed"
fi
