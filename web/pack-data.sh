#!/usr/bin/env bash
# Packs the game's data files for the browser into one download: a tar archive (ustar,
# the files at its root) compressed with gzip, which the page unpacks into the game's
# working directory unchanged. The same files always give the same bytes (names in
# order, no dates, owners or modes from this machine), so the build's content hash, and
# with it the offline copy in the player's browser, changes only when a file does.
#   web/pack-data.sh <output> <data folder> <file>...
set -euo pipefail
out=${1:?usage: pack-data.sh <output> <data folder> <file>...}
dir=${2:?usage: pack-data.sh <output> <data folder> <file>...}
shift 2
mapfile -t files < <(printf '%s\n' "$@" | LC_ALL=C sort)
tar --format=ustar --mtime=@0 --owner=0 --group=0 --numeric-owner --mode=u=rw,go=r \
    -C "$dir" -cf - -- "${files[@]}" | gzip -9n > "$out.part"
mv "$out.part" "$out"
