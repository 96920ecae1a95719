#!/usr/bin/env bash
# The Windows editions: x86_64 into build-windows/ and i686 (32-bit, the one
# 32-bit hosts load) into build-windows-i686/. Installs what it runs from
# Debian's packages, makes each edition's dependencies once
# (scripts/windows/deps.sh: 20 to 45 minutes the first time), builds each
# edition and runs its tests and its demo under Wine, in a pristine Wine
# prefix of the build's own, on a virtual display (Xvfb), then makes its
# installer and zip (scripts/windows/package.sh, into BUILD/packages/) and
# tests them in a pristine prefix (scripts/windows/package-test.sh).
#   TARNWICK_WINDOWS_ARCH=x86_64|i686  one edition alone
#   TARNWICK_WINDOWS_DEPS              a ready x86_64 prefix instead of deps.sh's
#   TARNWICK_WINDOWS_DEPS_I686         a ready i686 prefix
#   BUILD_DIR                          the x86_64 build folder (i686: BUILD_DIR-i686)
set -euo pipefail
cd "$(dirname "$0")/.."

archs=${TARNWICK_WINDOWS_ARCH:-x86_64 i686}
for arch in $archs; do
  case "$arch" in
    x86_64 | i686) ;;
    *) echo "TARNWICK_WINDOWS_ARCH must be x86_64 or i686, not $arch" >&2; exit 2 ;;
  esac
done
packages=(cmake ninja-build qt6-base-dev python3 libgtest-dev wine wine64 fonts-wine fonts-liberation2
          fonts-dejavu-core xvfb xauth nsis libcurl4 libsodium23 libzstd1)
for arch in $archs; do
  packages+=("g++-mingw-w64-${arch//_/-}-posix" "gcc-mingw-w64-${arch//_/-}-posix")
done
./scripts/install-packages.sh "${packages[@]}"
if [[ " $archs " == *" i686 "* ]] && ! ./scripts/windows/wine32.sh; then
  echo "32-bit Windows programs can't run on this machine: building and testing the 64-bit edition alone."
  archs=${archs//i686/}
fi

build_of() { [ "$1" = x86_64 ] && echo "${BUILD_DIR:-build-windows}" || echo "${BUILD_DIR:-build-windows}-$1"; }
# Each edition's TarnwickUpdate.exe downloads from a port of its own, apart
# from the Linux tests' 8047, so that the three can run side by side.
port_of() { [ "$1" = x86_64 ] && echo 8048 || echo 8049; }

build() {
  local arch=$1 build deps given
  build=$(build_of "$arch")
  given=${TARNWICK_WINDOWS_DEPS:-}
  [ "$arch" = x86_64 ] || given=${TARNWICK_WINDOWS_DEPS_I686:-}
  deps=$(TARNWICK_WINDOWS_ARCH=$arch TARNWICK_WINDOWS_DEPS=$given ./scripts/windows/deps.sh | tail -n 1) || return 1
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-w64-$arch.cmake" -DTARNWICK_WINDOWS_DEPS="$deps" \
    -DTARNWICK_DOWNLOAD_URL="http://127.0.0.1:$(port_of "$arch")/local/tarnwick.exe" || return 1
  cmake --build "$build" -j "$(nproc)" && scripts/windows/package.sh "$build"
}

# A Wine session takes its display from the program that starts it: the
# tests, the demo (a real update by TarnwickUpdate.exe,
# scripts/windows/demo.sh) and the packages' test get one virtual display, in
# a session of their own that ends with them. Another checkout's run of the same edition waits
# for the download port.
run_tests() {
  local arch=$1 build status=0
  build=$(cd "$(build_of "$arch")" && pwd)
  SECONDS=0
  flock "/tmp/tarnwick-windows-$(port_of "$arch").lock" \
    xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
    '"$1/wine-run.sh" cmd /c exit && ctest --test-dir "$1" --output-on-failure -j "$2" && scripts/windows/demo.sh "$1" &&
     scripts/windows/package-test.sh "$1"' \
    windows-tests "$build" "$(nproc)" || status=$?
  echo "The $arch edition's tests, demo and packages' test took $SECONDS s (status $status)."
  return "$status"
}

stop_wine() {
  for arch in $archs; do
    if [ -d "$(build_of "$arch")/wine" ]; then
      WINEPREFIX="$(cd "$(build_of "$arch")" && pwd)/wine" wineserver -k 2>/dev/null || true
    fi
  done
}
trap stop_wine EXIT

# One edition at a time, each on every core: beside another build or test
# run, a test's one-second windows (Skip before the updater's timer ticks)
# would be missed on a small machine.
failed=()
for arch in $archs; do
  build "$arch"
  run_tests "$arch" || failed+=("$arch")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "The Windows tests failed for: ${failed[*]}" >&2
  exit 1
fi
