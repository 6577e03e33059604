#!/usr/bin/env bash
# Builds a configured CMake build folder. On a terminal (and not in CI) the build's
# progress shows on one line that keeps being rewritten; the whole log is printed when
# the build fails or the compiler warned. Elsewhere (CI, a log file) the build's own
# lines are printed as they come.
#
# Usage: tools/build.sh BUILD_DIR [cmake --build options...]
set -euo pipefail
dir=$1
shift
if [ ! -t 1 ] || [ -n "${CI:-}" ]; then
  exec cmake --build "$dir" "$@"
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
columns=$(tput cols 2>/dev/null || echo 80)
started=$SECONDS
set +e
cmake --build "$dir" "$@" 2>&1 | tee "$log" | while IFS= read -r line; do
  # Make's "[ 45%] Building CXX object ..." lines.
  case $line in '['*'%]'*)
    line="$dir: $line"
    printf '\r\033[K%s' "${line:0:$((columns - 1))}" ;;
  esac
done
status=${PIPESTATUS[0]}
set -e
printf '\r\033[K'
if [ "$status" -ne 0 ] || grep -q 'warning:' "$log"; then
  cat "$log"
fi
if [ "$status" -ne 0 ]; then
  echo "build in $dir failed" >&2
  exit "$status"
fi
if grep -q '] Building ' "$log"; then
  echo "$dir: built in $((SECONDS - started)) s"
fi
