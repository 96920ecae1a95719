#!/usr/bin/env bash
# The patches a publisher serves beside a new release: for each older
# release still in use, "zstd --patch-from=OLD NEW", named by the SHA-256 of
# OLD, in NEW.delta/ beside NEW. Upload that folder beside the product:
# .../local/tarnwick.exe and .../local/tarnwick.exe.delta/<sha-256 of OLD>.
# An update control with an older release in place asks for its patch first
# and downloads the whole product when there is none.
#   usage: scripts/make-patches.sh NEW OLD...   (an OLD may be a folder of
#          old releases: every file in it)
# Prints each patch's size against the product's.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 NEW OLD...  (an OLD may be a folder of old releases)" >&2
  exit 2
fi
command -v zstd >/dev/null || { echo "$0 needs the zstd tool (Debian's zstd)" >&2; exit 1; }
new=$1
shift
[ -f "$new" ] || { echo "$new is not a file" >&2; exit 2; }
olds=()
for old in "$@"; do
  if [ -d "$old" ]; then
    while IFS= read -r -d '' file; do olds+=("$file"); done < <(find "$old" -maxdepth 1 -type f -print0 | sort -z)
  elif [ -f "$old" ]; then
    olds+=("$old")
  else
    echo "$old is neither a file nor a folder" >&2
    exit 2
  fi
done

out="$new.delta"
mkdir -p "$out"
new_bytes=$(stat -c %s "$new")
for old in "${olds[@]}"; do
  hash=$(sha256sum "$old" | cut -d' ' -f1)
  # The level and the single thread that make the smallest patches (-qq:
  # without zstd's advice on tuning); zstd writes the content's size and
  # checksum, which the control requires.
  zstd -qq -f -19 --single-thread --patch-from="$old" "$new" -o "$out/$hash" ||
    { echo "zstd could not make the patch from $old" >&2; exit 1; }
  bytes=$(stat -c %s "$out/$hash")
  awk -v old="$old" -v hash="$hash" -v b="$bytes" -v n="$new_bytes" \
    'BEGIN { printf "%s: %s.delta/%s, %d bytes (%.1f %% of %d)\n", old, "'"$(basename "$new")"'", hash, b, 100 * b / n, n }'
done
