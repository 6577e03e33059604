#!/usr/bin/env bash
# Fails when a source file in src/ includes a header of a layer above its own (or of a
# sibling on the same layer), or when modules include each other in a circle: the game
# stands on the ground, the practice settings on the game, the shell on all.
#
# Usage: tools/check_layers.sh [src-dir]
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}

# The layers from the bottom up; folders on one line are siblings that may not include
# each other.
layers='
ground
content audio gfx record
game
practice
menu
shell
'

declare -A rank
level=0
while read -r line; do
  [ -z "$line" ] && continue
  for dir in $line; do rank[$dir]=$level; done
  level=$((level + 1))
done <<<"$layers"

status=0
while IFS= read -r file; do
  rel=${file#"$src"/}
  own=${rel%%/*}
  if [ -z "${rank[$own]+x}" ]; then
    echo "check_layers: $rel is in a folder of no layer ($own)" >&2
    status=1
    continue
  fi
  while IFS= read -r target; do
    dir=${target%%/*}
    [ "$dir" = "$own" ] && continue
    if [ -z "${rank[$dir]+x}" ]; then
      echo "check_layers: $rel includes \"$target\", which is in no layer" >&2
      status=1
    elif [ "${rank[$dir]}" -ge "${rank[$own]}" ]; then
      echo "check_layers: $rel ($own) includes \"$target\" ($dir), which is not below it" >&2
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$src" -name '*.cpp' -o -name '*.h' | sort)

# No circle between modules (a .cpp with its header): a module that calls into one that
# calls it back cannot be read or tested alone. tsort names the modules of a loop.
pairs=$(while IFS= read -r file; do
  rel=${file#"$src"/}
  module=${rel%.*}
  echo "$module $module"
  sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)\.h".*/\1/p' "$file" |
    while IFS= read -r target; do [ "$target" != "$module" ] && echo "$target $module"; done
done < <(find "$src" -name '*.cpp' -o -name '*.h' | sort))
if ! loops=$(tsort <<<"$pairs" 2>&1 >/dev/null) || [ -n "$loops" ]; then
  echo "check_layers: modules include each other in a circle:" >&2
  sed 's/^tsort: /  /' <<<"$loops" >&2
  status=1
fi

if [ "$status" -eq 0 ]; then
  order=$(sed '/^$/d; s/ /, /g' <<<"$layers" | paste -sd'<' | sed 's/</ < /g')
  echo "check_layers: every include points down, with no circle between modules: $order"
fi
exit $status
