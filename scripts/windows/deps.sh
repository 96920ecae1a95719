#!/usr/bin/env bash
# The Windows edition's dependencies: Qt 6 (Core, Gui, Widgets, Network),
# libcurl (Schannel for TLS), libsodium and libzstd, cross-built with
# Debian's mingw-w64 from Debian's own source packages into a prefix. Prints
# the prefix's path as its last line of output.
#
#   TARNWICK_WINDOWS_DEPS   a ready prefix to use instead: nothing is built,
#                           but libzstd when it lacks that (a prefix made
#                           before libzstd joined): then libzstd goes into a
#                           prefix of its own beside the cache's, and the
#                           last line names both, "READY;ZSTD" (a CMake list)
#   TARNWICK_WINDOWS_ARCH   x86_64 (default) or i686
#   usage: deps.sh [PREFIX]  (default: ~/.cache/tarnwick/windows-deps-6.4.2,
#                             with -i686 appended for i686)
#
# Each part that finishes leaves a stamp in PREFIX/.tarnwick-deps, so a run
# that stopped resumes where it was and a finished prefix is left alone.
# From scratch this takes 20 to 45 minutes on 2 cores, nearly all of it Qt.
# The sources come through apt with a private source list made from the
# machine's Debian mirrors; the machine's apt configuration stays as it is.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
qt_version=6.4.2

zstd_version=1.5.4

# Whether a prefix holds everything a build takes from it, libzstd apart.
ready() {
  local p=$1
  [ -f "$p/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ] && [ -f "$p/lib/cmake/Qt6Network/Qt6NetworkConfig.cmake" ] \
    && [ -f "$p/lib/libcurl.dll.a" ] && [ -f "$p/lib/libsodium.dll.a" ] && [ -f "$p/plugins/platforms/qwindows.dll" ]
}
has_zstd() { [ -f "$1/lib/cmake/zstd/zstdConfig.cmake" ] && [ -f "$1/bin/libzstd.dll" ]; }

given=""
if [ -n "${TARNWICK_WINDOWS_DEPS:-}" ]; then
  given=$(realpath -m "$TARNWICK_WINDOWS_DEPS")
  if ! ready "$given"; then
    echo "TARNWICK_WINDOWS_DEPS=$TARNWICK_WINDOWS_DEPS is not a complete prefix (Qt, libcurl, libsodium)" >&2
    exit 1
  fi
  if has_zstd "$given"; then
    echo "$given"
    exit 0
  fi
fi

arch=${TARNWICK_WINDOWS_ARCH:-x86_64}
case "$arch" in
  x86_64) suffix="" ;;
  i686) suffix="-i686" ;;
  *) echo "TARNWICK_WINDOWS_ARCH must be x86_64 or i686, not $arch" >&2; exit 2 ;;
esac
triplet=$arch-w64-mingw32
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tarnwick
if [ -n "$given" ]; then
  prefix=$cache/windows-zstd-$zstd_version$suffix
  parts=(zstd)
else
  prefix=$(realpath -m "${1:-$cache/windows-deps-$qt_version$suffix}")
  parts=(qt sodium curl zstd runtime)
fi
stamps=$prefix/.tarnwick-deps
done_part() { [ -f "$stamps/$1" ]; }
finish_part() { mkdir -p "$stamps"; date -u +%FT%TZ >"$stamps/$1"; }

# The last line: the prefixes a build takes its dependencies from.
print_prefixes() { if [ -n "$given" ]; then echo "$given;$prefix"; else echo "$prefix"; fi; }

if done_part all; then
  print_prefixes
  exit 0
fi

"$repo/scripts/install-packages.sh" "g++-mingw-w64-${arch//_/-}-posix" "gcc-mingw-w64-${arch//_/-}-posix" \
  mingw-w64-tools cmake ninja-build qt6-base-dev libwine-dev dpkg-dev autoconf automake libtool
host_qt=$(dpkg-query -W -f='${Version}' qt6-base-dev)
case "$host_qt" in
  "$qt_version"*) ;;
  *) echo "Qt's host tools (qt6-base-dev $host_qt) are not version $qt_version" >&2; exit 1 ;;
esac

work=$cache/windows-deps-build$suffix
# The sources serve any build, but a build folder configured for another
# checkout or prefix can't be resumed: start those over.
owner="$repo -> $prefix"
[ "$(cat "$work/owner" 2>/dev/null)" = "$owner" ] || rm -rf "$work"/build-*
mkdir -p "$work/src" "$prefix"
echo "$owner" >"$work/owner"
log=$work/build.log
echo "Building the Windows dependencies into $prefix (log: $log)" >&2
trap 'echo "Failed; the end of $log:" >&2; tail -n 30 "$log" >&2' ERR

# The Debian mirrors the machine already uses, as source repositories.
fetch_sources() {
  local apt=$work/apt
  mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$apt/sources.d"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$apt/sources.d/debian-src.sources"
  else
    grep -E '^deb\s.*debian' /etc/apt/sources.list | sed 's/^deb\s/deb-src /' >"$apt/sources.d/debian-src.list"
  fi
  local opts=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt/sources.d"
              -o Dir::State::Lists="$apt/lists" -o Dir::Cache::Archives="$apt/archives")
  [ "$(id -u)" -ne 0 ] || opts+=(-o APT::Sandbox::User=root)
  apt-get "${opts[@]}" update -qq >>"$log" 2>&1
  # Unpacked with Debian's patches applied: the newest version a mirror
  # serves (a security mirror may list a source it doesn't hold).
  local version
  for version in $(apt-cache "${opts[@]}" showsrc "$1" | sed -n 's/^Version: //p' | sort -V -r -u); do
    if (cd "$work/src" && apt-get "${opts[@]}" source "$1=$version" >>"$log" 2>&1); then
      echo "  $1 $version" >&2
      return 0
    fi
    echo "  $1 $version: its source can't be fetched, trying an older one" >&2
  done
  return 1
}

source_dir() {
  local dir
  dir=$(find "$work/src" -maxdepth 1 -type d -name "$1" | sort | tail -n 1)
  [ -n "$dir" ] || { echo "no source folder $1 in $work/src" >&2; exit 1; }
  echo "$dir"
}

toolchain=(-DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-$arch.cmake" -DTARNWICK_WINDOWS_DEPS="$prefix")

build_qt() {
  [ -d "$(find "$work/src" -maxdepth 1 -name "qt6-base-$qt_version*" -type d | head -n 1)" ] || fetch_sources qt6-base
  local qt
  qt=$(source_dir "qt6-base-$qt_version*")
  # Debian's tarball leaves out the tablet headers: Wine's own serve, with the
  # three macros that Wine's headers take from elsewhere.
  mkdir -p "$qt/src/3rdparty/wintab"
  { printf '#ifndef API\n# define API WINAPI\n#endif\n#ifndef DECL_WINELIB_TYPE_AW\n# define WINELIB_NAME_AW(func) func##W\n# define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;\n#endif\n'
    cat /usr/include/wine/wine/windows/wintab.h; } >"$qt/src/3rdparty/wintab/wintab.h"
  cp /usr/include/wine/wine/windows/pktdef.h "$qt/src/3rdparty/wintab/"
  # With OpenGL off, the Windows platform plugin still reaches for the
  # dynamic-GL context: guard it by the opengl feature too.
  sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
    "$qt/src/plugins/platforms/windows/qwindowswindow.cpp"
  cmake -S "$qt" -B "$work/build-qt" -G Ninja "${toolchain[@]}" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_xml=OFF -DFEATURE_testlib=OFF -DFEATURE_openssl=OFF -DFEATURE_system_zlib=OFF \
    -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_libpng=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_doubleconversion=OFF \
    -DFEATURE_icu=OFF >>"$log" 2>&1
  cmake --build "$work/build-qt" -j"$(nproc)" >>"$log" 2>&1
  cmake --install "$work/build-qt" >>"$log" 2>&1
  rm -rf "$prefix/doc"
}

build_sodium() {
  [ -d "$(find "$work/src" -maxdepth 1 -name 'libsodium-*' -type d | head -n 1)" ] || fetch_sources libsodium
  local sodium
  sodium=$(source_dir 'libsodium-*')
  (cd "$sodium" && { [ -x configure ] || ./autogen.sh -s; } \
    && ./configure --host="$triplet" --prefix="$prefix" --enable-shared --disable-static \
         --disable-dependency-tracking \
    && make -j"$(nproc)" && make install) >>"$log" 2>&1
}

# HTTP and HTTPS for downloads, FILE for addresses of local files.
build_curl() {
  [ -d "$(find "$work/src" -maxdepth 1 -name 'curl-*' -type d | head -n 1)" ] || fetch_sources curl
  local curl
  curl=$(source_dir 'curl-*')
  cmake -S "$curl" -B "$work/build-curl" -G Ninja "${toolchain[@]}" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF \
    -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBPSL=OFF -DUSE_LIBIDN2=OFF -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF \
    -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DBUILD_CURL_EXE=ON -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF \
    -DHTTP_ONLY=OFF -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON -DCURL_DISABLE_FTP=ON -DCURL_DISABLE_TELNET=ON \
    -DCURL_DISABLE_DICT=ON -DCURL_DISABLE_TFTP=ON -DCURL_DISABLE_GOPHER=ON -DCURL_DISABLE_POP3=ON \
    -DCURL_DISABLE_IMAP=ON -DCURL_DISABLE_SMTP=ON -DCURL_DISABLE_RTSP=ON -DCURL_DISABLE_MQTT=ON \
    -DCURL_DISABLE_SMB=ON >>"$log" 2>&1
  cmake --build "$work/build-curl" -j"$(nproc)" >>"$log" 2>&1
  cmake --install "$work/build-curl" >>"$log" 2>&1
}

# Decompression is all the control does; the library alone.
build_zstd() {
  [ -d "$(find "$work/src" -maxdepth 1 -name "libzstd-$zstd_version*" -type d | head -n 1)" ] || fetch_sources libzstd
  local zstd
  zstd=$(source_dir "libzstd-$zstd_version*")
  cmake -S "$zstd/build/cmake" -B "$work/build-zstd" -G Ninja "${toolchain[@]}" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DZSTD_BUILD_SHARED=ON -DZSTD_BUILD_STATIC=OFF -DZSTD_BUILD_PROGRAMS=OFF \
    -DZSTD_BUILD_TESTS=OFF -DZSTD_BUILD_CONTRIB=OFF -DZSTD_MULTITHREAD_SUPPORT=OFF -DZSTD_LEGACY_SUPPORT=OFF \
    >>"$log" 2>&1
  cmake --build "$work/build-zstd" -j"$(nproc)" >>"$log" 2>&1
  cmake --install "$work/build-zstd" >>"$log" 2>&1
  "$triplet-strip" --strip-unneeded "$prefix/bin/libzstd.dll"
}

# The compiler's own run-time DLLs, which every program built with it needs
# beside it; then everything stripped of what only a debugger reads.
finish_runtime() {
  local dll
  for dll in 'libstdc++-6.dll' 'libgcc_s_*-1.dll' 'libwinpthread-1.dll'; do
    cp "$(find /usr/lib/gcc/"$triplet"/*-posix /usr/"$triplet"/lib -name "$dll" | sort | head -n 1)" "$prefix/bin/"
  done
  find "$prefix" -name '*.dll' -exec "$triplet-strip" --strip-unneeded {} +
}

for part in "${parts[@]}"; do
  done_part "$part" && continue
  echo "  $part..." >&2
  start=$SECONDS
  case "$part" in
    qt) build_qt ;;
    sodium) build_sodium ;;
    curl) build_curl ;;
    zstd) build_zstd ;;
    runtime) finish_runtime ;;
  esac
  finish_part "$part"
  echo "  $part done in $((SECONDS - start)) s" >&2
done
{ [ -n "$given" ] || ready "$prefix"; } && has_zstd "$prefix" || {
  echo "the prefix $prefix is incomplete; see $log" >&2
  exit 1
}
finish_part all
rm -rf "$work"
print_prefixes
