#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan/, or $BUILD_DIR; -DTARNWICK_SANITIZE=address,undefined, a
# Debug build) and runs the Linux tests under them. Any report fails the
# test that made it. Leaks inside the system's D-Bus library (Qt's desktop
# services) are not ours: scripts/lsan.supp suppresses them.
set -euo pipefail
cd "$(dirname "$0")/.."
export BUILD_DIR="${BUILD_DIR:-build-asan}"
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  ./scripts/install-packages.sh cmake ninja-build
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_SANITIZE=address,undefined \
    -DTARNWICK_BUILD_BENCH=OFF
fi
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
./scripts/test.sh "$@"
