#!/usr/bin/env bash
# Prints the map of src/ for the README: each folder in the order of its layer, and in it
# each module (a .cpp with its header, or a file alone) with its purpose, the first
# sentence of its opening comment; with --check README, fails when a file under src/ is
# missing from the README's code map or the map names a file that is not there.
#
# Usage: tools/code_map.sh [--check README.md] [src-dir]
set -euo pipefail
here=$(dirname "$0")
check=
if [ "${1:-}" = --check ]; then
  check=$2
  shift 2
fi
src=${1:-"$here/../src"}

# The folders from the bottom layer up, as tools/check_layers.sh has them.
folders=$(sed -n "/^layers='/,/^'/p" "$here/check_layers.sh" | sed "/'/d" | tr ' ' '\n' | sed '/^$/d')

# The first sentence of the file's opening comment (// lines), on one line.
purpose() {
  sed -n '/^\/\//!q; s|^// *||p' "$1" | paste -sd' ' |
    sed -E 's/\. +[A-Z(].*//; s/\.$//'
}

if [ -n "$check" ]; then
  # The section's file names, as folder/name: a folder line (**`src/x/`**) starts each
  # folder's list, and every `name.ext` on its lines belongs to it.
  listed=$(sed -n '/^### Code map/,/^### /p' "$check" | awk '
    match($0, /\*\*`src\/[a-z_]+\/`\*\*/) { folder = substr($0, RSTART + 7, RLENGTH - 11); next }
    /^\*\*/ { folder = "" }
    folder != "" {
      line = $0
      while (match(line, /`[A-Za-z0-9_.]+\.(cpp|h|def)`/)) {
        print folder "/" substr(line, RSTART + 1, RLENGTH - 2)
        line = substr(line, RSTART + RLENGTH)
      }
    }' | sort -u)
  present=$(cd "$src" && find . -type f | sed 's|^\./||' | sort)
  status=0
  while IFS= read -r file; do
    echo "code_map: src/$file is missing from the code map in $check (tools/code_map.sh prints its line)" >&2
    status=1
  done < <(comm -23 <(echo "$present") <(echo "$listed"))
  while IFS= read -r file; do
    echo "code_map: the code map in $check names src/$file, which is not there" >&2
    status=1
  done < <(comm -13 <(echo "$present") <(echo "$listed") | sed '/^$/d')
  [ "$status" -eq 0 ] && echo "code_map: every file under $src is in the code map of $check"
  exit $status
fi

for folder in $folders; do
  [ -d "$src/$folder" ] || continue
  echo "**\`src/$folder/\`**"
  echo
  for file in $(find "$src/$folder" -maxdepth 1 -type f -printf "%f\n" | sort); do
    base=${file%.*}
    ext=${file##*.}
    # A header goes with its .cpp, named after it; the .cpp's sentence speaks for both.
    if [ "$ext" = h ] && [ -f "$src/$folder/$base.cpp" ]; then continue; fi
    names="\`$file\`"
    if [ "$ext" = cpp ] && [ -f "$src/$folder/$base.h" ]; then names="\`$base.h\`, \`$file\`"; fi
    echo "- $names: $(purpose "$src/$folder/$file")"
  done
  echo
done
