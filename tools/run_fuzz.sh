#!/usr/bin/env bash
# Builds the libFuzzer targets (content files, font pictures, language pictures, sound
# effects) with clang and runs each for a bounded time from its seed corpus; fails when a
# target finds a crash, a leak, a sanitizer report or a broken property.
#
# Usage: tools/run_fuzz.sh [seconds per target, default 45]
# Findings are kept in build-fuzz/artifacts/ (reproduce: build-fuzz/<target> <file>).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-${FUZZ_SECONDS:-45}}
build=${PLIMO_FUZZ_BUILD_DIR:-build-fuzz}

tools/setup.sh --tests
cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER="${CXX_FUZZ:-clang++}" >/dev/null
cmake --build "$build" -j2

mkdir -p "$build/artifacts"
status=0
for target in content_fuzz font_fuzz picture_fuzz sound_fuzz; do
  name=${target%_fuzz}
  # New inputs go to a working corpus; the seeds in the tree stay as they are.
  work="$build/corpus-$name"
  mkdir -p "$work"
  dict=()
  [ -f "fuzz/$name.dict" ] && dict=(-dict="fuzz/$name.dict")
  echo "== $target for ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/$target" "$work" "fuzz/corpus/$name" "${dict[@]}" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=20000 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" 2>"$build/$target.log"; then
    status=1
    echo "!! $target found a problem:"
    grep -E "ERROR|SUMMARY|property broken|Test unit written" "$build/$target.log" | head -20
  fi
  grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb|cov: " "$build/$target.log" | tail -3
done
exit $status
