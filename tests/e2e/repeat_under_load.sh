#!/usr/bin/env bash
# Runs the end-to-end play test again and again while busy loops keep every core loaded,
# and prints one line per run and a summary: passes, durations, load averages.
#
# Usage: tests/e2e/repeat_under_load.sh RUNS PLIMO_BINARY DATA_DIR [BUSY_LOOPS]
# BUSY_LOOPS defaults to twice the number of cores. Each failed run's output is kept in
# the log folder that the summary names.
set -euo pipefail

if [ $# -lt 3 ]; then
  echo "usage: $0 RUNS PLIMO_BINARY DATA_DIR [BUSY_LOOPS]" >&2
  exit 2
fi
runs=$1
plimo=$(realpath "$2")
data=$(realpath "$3")
loops=${4:-$((2 * $(nproc)))}
here=$(cd "$(dirname "$0")" && pwd)
logs=$(mktemp -d "${TMPDIR:-/tmp}/plimo-e2e-load.XXXXXX")

busy=()
stop_busy() {
  local pid
  for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${busy[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap stop_busy EXIT
for ((i = 0; i < loops; i++)); do
  bash -c 'while :; do :; done' &
  busy+=($!)
done
echo "$loops busy loops on $(nproc) cores; logs in $logs"

passes=0
durations=()
loads=()
printf '%4s %-6s %8s %s\n' run result seconds "load average (1, 5, 15 min) at the end"
for ((run = 1; run <= runs; run++)); do
  start=$(date +%s.%N)
  if bash "$here/play.sh" "$plimo" "$data" >"$logs/run-$run.log" 2>&1; then
    result=pass
    passes=$((passes + 1))
    rm -f "$logs/run-$run.log"
  else
    result=FAIL
  fi
  seconds=$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.1f", e - s }')
  load=$(cut -d' ' -f1-3 /proc/loadavg)
  durations+=("$seconds")
  loads+=("${load%% *}")
  printf '%4d %-6s %8s %s\n' "$run" "$result" "$seconds" "$load"
done

stats() { sort -n | awk '{ v[NR] = $1 } END { printf "min %s, median %s, max %s", v[1], (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2), v[NR] }'; }
echo "passed $passes of $runs"
echo "durations (s): $(printf '%s\n' "${durations[@]}" | stats)"
echo "1-minute load average at the end of each run: $(printf '%s\n' "${loads[@]}" | stats)"
[ "$passes" -eq "$runs" ]
