#!/usr/bin/env bash
# Installs what the build needs from Debian's packages (when missing), then
# configures and builds into build/ (or $BUILD_DIR). A new build folder is a
# RelWithDebInfo build; one that exists keeps its own settings (a Debug or a
# sanitizer build stays one).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core fonts-crosextra-carlito fonts-liberation2
          libx11-dev libsodium-dev libzstd-dev zstd minisign python3 curl libcurl4-openssl-dev openssl xvfb xauth xdotool)
./scripts/install-packages.sh "${packages[@]}"

build="${BUILD_DIR:-build}"
if [ -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build"
else
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" -j "$(nproc)"
