#!/usr/bin/env bash
# The installer and the zip of one Windows edition, from its build folder:
# the build's install (cmake/windows-package.cmake) staged, checked to be
# stripped, made into an NSIS installer (cmake/windows/installer.nsi) and,
# with register.cmd, into a zip. Both land in BUILD-DIR/packages/:
#   TarnwickUpdate-VERSION-ARCH-setup.exe and TarnwickUpdate-VERSION-ARCH.zip
#   usage: scripts/windows/package.sh BUILD-DIR   (scripts/windows.sh runs it)
set -euo pipefail
cd "$(dirname "$0")/../.."

build=$(cd "$1" && pwd)
cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
version=$(cached CMAKE_PROJECT_VERSION)
objdump=$(cached CMAKE_OBJDUMP)
arch=$(basename "$objdump")
arch=${arch%%-w64-*}
name="TarnwickUpdate-$version-$arch"
out="$build/packages"
stage="$out/$name"
rm -rf "$out"
mkdir -p "$out"
cmake --install "$build" --prefix "$stage" >/dev/null

# What goes out carries no debug information (the build keeps it apart).
while IFS= read -r -d '' binary; do
  if "$objdump" -h "$binary" | grep -q ' \.debug_'; then
    echo "${binary#"$stage/"} carries debug information: it must ship stripped" >&2
    exit 1
  fi
done < <(find "$stage" \( -name '*.dll' -o -name '*.exe' \) -print0)

# What the installer puts in place and its uninstaller removes, file by
# file: an uninstaller that removed its whole folder would take whatever
# else a user keeps there.
(
  cd "$stage"
  find . -type d | sort | while IFS= read -r folder; do
    folder=${folder#./}
    target='$INSTDIR'
    [ "$folder" = . ] || target+="\\${folder//\//\\}"
    echo "SetOutPath \"$target\""
    find "./$folder" -maxdepth 1 -type f | sort | while IFS= read -r file; do
      echo "File \"$stage/${file#./}\""
    done
  done >"$out/install-files.nsh"
  find . -type f | sort | while IFS= read -r file; do
    file=${file#./}
    echo "Delete \${DELETE_OPTIONS} \"\$INSTDIR\\${file//\//\\}\""
  done >"$out/uninstall-files.nsh"
  find . -mindepth 1 -type d | sort -r | while IFS= read -r folder; do
    folder=${folder#./}
    echo "RMDir \${DELETE_OPTIONS} \"\$INSTDIR\\${folder//\//\\}\""
  done >>"$out/uninstall-files.nsh"
)

size_kb=$(du -sk "$stage" | cut -f1)
makensis -V2 -DEDITION="$arch" -DVERSION="$version" -DFILES="$stage" -DLISTS="$out" -DSIZE_KB="$size_kb" \
  -DICON="$build/updater/TarnwickUpdate.ico" -DOUTFILE="$out/$name-setup.exe" cmake/windows/installer.nsi
cp "$build/package/register.cmd" "$stage/"
(cd "$out" && cmake -E tar cf "$name.zip" --format=zip "$name")
ls -l "$out/$name-setup.exe" "$out/$name.zip" | awk '{ print $5, $NF }'
