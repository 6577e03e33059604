#!/usr/bin/env bash
# Runs the real game in a window on its own virtual X server and reports how much CPU
# it takes (CPU seconds per minute of wall time, all its threads) and its peak memory
# (VmHWM), first while it sits on the main menu and then while a game is played with
# keys sent by xdotool. The figures can be set beside any other program measured alike.
#
# Usage: tools/cpu_usage.sh [path/to/plimo]   (default: a Release build in build-bench/)
# MENU_SECONDS (default 20) and GAME_SECONDS (default 30) set the two measured spans.
# SHOTS_DIR=<directory> keeps a screenshot of the end of each span.
# Sound goes to SDL's dummy driver, which still mixes the music on the audio thread.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
menu_seconds="${MENU_SECONDS:-20}"
game_seconds="${GAME_SECONDS:-30}"

"$root/tools/setup.sh" --tests
if [ $# -ge 1 ]; then
  plimo="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
else
  cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DPLIMO_BENCH=ON -DPLIMO_TESTS=OFF >/dev/null
  cmake --build "$root/build-bench" --target plimo -j2 >/dev/null
  plimo="$root/build-bench/plimo"
fi

work="$(mktemp -d /tmp/plimo-cpu-XXXXXX)"
xvfb_pid=""
game_pid=""
cleanup() {
  # The game first, so that it never sees its X server go away.
  if [ -n "$game_pid" ]; then
    kill "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

cp "$root"/data/* "$work/"

# Xvfb picks a free display number itself and writes it to the descriptor it is given.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

(cd "$work" && SDL_AUDIODRIVER=dummy exec "$plimo" window) &
game_pid=$!
win="$(timeout 30 xdotool search --sync --name '^Plimo$' | head -n1)"
xdotool windowfocus --sync "$win"

press() { xdotool key --delay 60 "$@"; }

# CPU time of a process in clock ticks (user + system, all threads).
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
status_kib() { awk -v key="$2:" '$1 == key {print $2}' "/proc/$1/status"; }
now_ms() { date +%s%3N; }
ticks_per_second="$(getconf CLK_TCK)"

results=()
# measure LABEL SECONDS ACTION: runs ACTION in the background of the span (or nothing)
# and records the game's and the X server's CPU over it.
measure() {
  local label="$1" seconds="$2" action="$3"
  local start_ms start_game start_x end_ms end_game end_x
  start_ms=$(now_ms)
  start_game=$(cpu_ticks "$game_pid")
  start_x=$(cpu_ticks "$xvfb_pid")
  if [ -n "$action" ]; then
    "$action" "$seconds"
  else
    sleep "$seconds"
  fi
  kill -0 "$game_pid" 2>/dev/null || { echo "the game ended during '$label'" >&2; exit 1; }
  if [ -n "${SHOTS_DIR:-}" ]; then
    import -window root "$SHOTS_DIR/${label// /-}.png"
  fi
  end_ms=$(now_ms)
  end_game=$(cpu_ticks "$game_pid")
  end_x=$(cpu_ticks "$xvfb_pid")
  results+=("$(awk -v l="$label" -v ms=$((end_ms - start_ms)) -v g=$((end_game - start_game)) \
    -v x=$((end_x - start_x)) -v hz="$ticks_per_second" -v hwm="$(status_kib "$game_pid" VmHWM)" \
    -v rss="$(status_kib "$game_pid" VmRSS)" 'BEGIN {
      wall = ms / 1000; gs = g / hz; xs = x / hz
      printf "%-10s %7.1f %9.2f %12.2f %11.1f %11.1f %14.2f", l, wall, gs, gs / wall * 60,
        hwm / 1024, rss / 1024, xs / wall * 60 }')")
}

# A game: a digit now and then (some answers right, some wrong), and a Return every
# few seconds, which on the game-over menu starts the next game.
play() {
  local until=$(($(now_ms) + $1 * 1000)) i=0
  while [ "$(now_ms)" -lt "$until" ]; do
    press $((RANDOM % 10))
    sleep 0.7
    i=$((i + 1))
    if [ $((i % 6)) -eq 0 ]; then
      press Return
    fi
  done
}

# Splash gives way to the language choice after 2 s; Return there opens the main menu.
sleep 3
press Return
sleep 1
measure "main menu" "$menu_seconds" ""

# Addition, the preselected difficulty, then the help picture's 3 s.
press Return
sleep 0.5
press Return
sleep 4
measure "playing" "$game_seconds" play

echo
echo "plimo ($plimo) in a 640x480 window on Xvfb $DISPLAY, $(nproc) cores"
printf "%-10s %7s %9s %12s %11s %11s %14s\n" phase "wall s" "CPU s" "CPU s/min" "VmHWM MiB" "VmRSS MiB" "Xvfb CPU s/min"
for line in "${results[@]}"; do
  echo "$line"
done
