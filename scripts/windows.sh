#!/usr/bin/env bash
# The Windows edition: installs what it needs from Debian's packages, makes
# the Windows dependencies once (scripts/windows/deps.sh: 20 to 45 minutes
# the first time; TARNWICK_WINDOWS_DEPS names a ready prefix instead),
# builds into build-windows/ (or $BUILD_DIR) and runs its tests and its demo
# under Wine, in a Wine prefix of the build's own, on a virtual display (Xvfb).
#   TARNWICK_WINDOWS_ARCH=i686 builds for 32-bit Windows (untested here: its
#   programs can't run on these machines).
set -euo pipefail
cd "$(dirname "$0")/.."

arch=${TARNWICK_WINDOWS_ARCH:-x86_64}
./scripts/install-packages.sh cmake ninja-build qt6-base-dev python3 libgtest-dev \
  "g++-mingw-w64-${arch//_/-}-posix" "gcc-mingw-w64-${arch//_/-}-posix" mingw-w64-tools libwine-dev wine64 \
  fonts-wine fonts-liberation2 fonts-dejavu-core xvfb xauth

deps=$(./scripts/windows/deps.sh | tail -n 1)
build="${BUILD_DIR:-build-windows}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-w64-$arch.cmake" -DTARNWICK_WINDOWS_DEPS="$deps"
cmake --build "$build" -j "$(nproc)"

# A Wine session takes its display from the program that starts it: the
# build's prefix (made on its first use), the tests and then the demo (a
# real update by TarnwickUpdate.exe, scripts/windows/demo.sh) get one
# virtual display, in a session of their own that ends with them.
prefix="$(cd "$build" && pwd)/wine"
stop_wine() { WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; }
stop_wine
trap stop_wine EXIT
xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
  '"$1/wine-run.sh" cmd /c exit && ctest --test-dir "$1" --output-on-failure -j "$2" && scripts/windows/demo.sh "$1"' windows-tests "$build" "$(nproc)"
