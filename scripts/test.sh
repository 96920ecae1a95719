#!/usr/bin/env bash
# Sets up, builds and runs every test (no display needed). Arguments go to
# ctest: ./scripts/test.sh -R TransferFigures runs those alone.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j "$(nproc)" "$@"
