#!/usr/bin/env bash
# Checks web/sdl_symbols.txt against the browser build: every SDL_*/Mix_* function that
# the core (its library as built for the browser) calls is listed; every function the
# page's JavaScript libraries define is listed as the page's, and only those; every one
# left to emscripten is still called. Prints each difference and fails on any.
#   web/check_sdl_symbols.sh <llvm-nm> <list> <core library> <JavaScript library>...
set -euo pipefail
nm="$1"
list="$2"
core="$3"
shift 3

called="$("$nm" --undefined-only --format=just-symbols "$core" 2>/dev/null | grep -E '^(SDL|Mix)_' | sort -u || true)"
[ -n "$called" ] || { echo "$0: no SDL call found in $core (not the core's library?)" >&2; exit 1; }
defined="$(grep -ohE '^  (SDL|Mix)_[A-Za-z0-9_]+: function' "$@" | sed -E 's/^  //; s/: function$//' | sort -u)"
libraries="$*"

awk -v called="$called" -v defined="$defined" -v list="$list" -v libraries="$libraries" '
  BEGIN {
    n = split(called, c, "\n"); for (i = 1; i <= n; i++) isCalled[c[i]] = 1
    n = split(defined, d, "\n"); for (i = 1; i <= n; i++) isDefined[d[i]] = 1
  }
  { sub(/#.*/, "") }
  NF == 0 { next }
  {
    where = list ":" FNR
    if (NF != 2 || ($2 != "page" && $2 != "emscripten")) { print where ": \"" $0 "\": want a name and page or emscripten"; bad = 1; next }
    if ($1 in side) { print where ": " $1 " is listed twice"; bad = 1 }
    side[$1] = $2
    if ($2 == "page" && !($1 in isDefined)) { print where ": " $1 " is listed as the page'"'"'s, but none of " libraries " defines it"; bad = 1 }
    if ($2 == "emscripten" && ($1 in isDefined)) { print where ": " $1 " is defined by the page, but listed as emscripten'"'"'s"; bad = 1 }
    if ($2 == "emscripten" && !($1 in isCalled)) { print where ": " $1 " is left to emscripten, but the core does not call it: drop it"; bad = 1 }
  }
  END {
    for (f in isCalled) if (!(f in side)) { print list ": the core calls " f ", which is not listed: say whether the page (page) or emscripten'"'"'s SDL (emscripten) answers it, with the page'"'"'s surfaces in mind"; bad = 1 }
    for (f in isDefined) if (!(f in side)) { print list ": the page defines " f ", which is not listed"; bad = 1 }
    exit bad
  }' "$list" >&2
