#!/usr/bin/env bash
# Prints the CPU seconds per minute (all threads) that the desktop game takes on its main
# menu, nothing pressed, in a 640x480 window on its own Xvfb: the figure the browser
# test prints beside the browser's. The game is walked there with keys, each sent once
# the window shows the screen it is meant for (compared with the desktop's dumped frames).
#   web/test/desktop_menu_cpu.sh <plimo binary> <frames folder> [seconds, default 10]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
plimo="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
frames="$(cd "$2" && pwd)"
seconds="${3:-10}"

work="$(mktemp -d /tmp/plimo-desktop-cpu-XXXXXX)"
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && { kill "$game_pid" 2>/dev/null || true; wait "$game_pid" 2>/dev/null || true; }
  [ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
  rm -rf "$work"
}
trap cleanup EXIT
cp "$root"/data/* "$work/"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

(cd "$work" && SDL_AUDIODRIVER=dummy exec "$plimo" window) &
game_pid=$!
win="$(timeout 60 xdotool search --sync --onlyvisible --name '^Plimo$' | head -n1)"

# Waits (up to a minute) until the window shows the scene's frame in the region given.
wait_for_scene() {
  local scene="$1" region="$2" until=$(($(date +%s) + 60))
  convert "$frames/$scene.bmp" -crop "$region" +repage "$work/want.png"
  while [ "$(date +%s)" -lt "$until" ]; do
    if import -silent -window "$win" -crop "$region" +repage "$work/got.png" 2>/dev/null &&
       [ "$(compare -metric AE "$work/want.png" "$work/got.png" null: 2>&1 || true)" = "0" ]; then
      return 0
    fi
    sleep 0.2
  done
  echo "the desktop game never showed '$scene'" >&2
  exit 1
}

# The splash gives way to the language screen by itself; Return there opens the menu.
wait_for_scene language-pick-1 200x150+240+40    # the language list, clear of the arrows
xdotool key --window "$win" Return 2>/dev/null
wait_for_scene main-menu 400x450+240+30          # the entries, clear of the cursor

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
start=$(ticks "$game_pid")
start_ms=$(date +%s%3N)
sleep "$seconds" # the span measured
end=$(ticks "$game_pid")
end_ms=$(date +%s%3N)
awk -v t=$((end - start)) -v hz="$(getconf CLK_TCK)" -v ms=$((end_ms - start_ms)) \
  'BEGIN { printf "%.2f\n", t / hz / (ms / 1000) * 60 }'
