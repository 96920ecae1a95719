#!/usr/bin/env bash
# Makes this machine run 32-bit Windows programs, as the i686 edition needs:
# Debian's wine32 for i386 (after adding the architecture), then a tiny
# 32-bit program run in a WoW64 prefix of its own that must say it is 32-bit
# code under WoW64. Exits non-zero, saying why in one line, when it can't.
set -euo pipefail
cd "$(dirname "$0")/../.."

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
fi
if ! ./scripts/install-packages.sh wine32:i386 gcc-mingw-w64-i686-posix; then
  echo "wine32:i386 can't be installed from this machine's Debian sources" >&2
  exit 1
fi

probe=$(mktemp -d)
trap 'WINEPREFIX="$probe/wine" wineserver -k 2>/dev/null || true; rm -rf "$probe"' EXIT
cat >"$probe/probe.c" <<'C'
#include <windows.h>
#include <stdio.h>
int main(void)
{
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    printf("%u %d\n", (unsigned)sizeof(void *), wow64 ? 1 : 0);
    return 0;
}
C
i686-w64-mingw32-gcc-posix -o "$probe/probe.exe" "$probe/probe.c"
said=$(WINEPREFIX="$probe/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
  timeout 120 /usr/lib/wine/wine "$probe/probe.exe" 2>/dev/null | tr -d '\r' || true)
if [ "$said" != "4 1" ]; then
  echo "a 32-bit Windows program doesn't run under Wine here (it said \"$said\", not \"4 1\")" >&2
  exit 1
fi
