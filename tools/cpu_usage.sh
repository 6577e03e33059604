#!/usr/bin/env bash
# Measures what the real game costs the machine, next to a floor: in a window on its own
# virtual X server, the CPU time (all threads, per second of wall time) of Plimo on the
# language screen, on the main menu and in a game nobody answers, and of the floor
# program (bench/static_frame.cpp: one unchanged frame presented 100 times a second),
# taken in turns over several rounds, on classic SDL 1.2 and on sdl12-compat (SDL 1.2
# over SDL 2, with SDL 2's software renderer). The floor comes twice: sleeping until
# each frame is due, and polling every millisecond between frames as a plain SDL 1.2
# loop does. Prints the medians, each screen as a ratio to both floors of the same
# flavour, and the game's peak memory (VmHWM); the budgets are held against the
# sleeping floor, the stricter one; exits 1 when one is over.
#
# Usage: tools/cpu_usage.sh [--fullscreen]   (full screen: 800x600 X screen; sdl12-compat
#        scales the game to fit, classic SDL shows it at 640x480 in a corner)
#        tools/cpu_usage.sh --peer   (Plimo beside TuxMath, Debian's tuxmath package, as
#        the yardstick: both in 640x480 windows, dummy audio, the idle main menu and the
#        first GAME_SECONDS (default 20) of a game nobody answers at the easiest
#        difficulty, in interleaved rounds (ROUNDS, default 8); prints medians with their
#        spread and the ratios to TuxMath; exits 1 when the game is over 0.8x or the menu
#        over 0.5x. PLIMO_BEFORE=<binary> measures an earlier build in the same rounds.)
# ROUNDS (default 5), SPAN_SECONDS per span (default 6), FLAVOURS (default "classic compat").
# SHOTS_DIR=<directory> keeps a screenshot of each of the game's spans; PLIMO=<binary>
# measures another build of the game; PLIMO_AUDIO=<driver> (default dummy) sets its sound.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
rounds="${ROUNDS:-5}"
seconds="${SPAN_SECONDS:-6}"
flavours="${FLAVOURS:-classic compat}"
fullscreen=0
[ "${1:-}" = "--fullscreen" ] && fullscreen=1

"$root/tools/setup.sh" --tests >&2
"$root/tools/setup.sh" --bench >&2
build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPLIMO_BENCH=ON -DPLIMO_TESTS=OFF >/dev/null
cmake --build "$build" --target plimo plimo_static_frame -j2 >/dev/null
plimo="${PLIMO:-$build/plimo}"
floor="$build/bench/plimo_static_frame"
compat_libdir=""
case " $flavours " in
  *" compat "*) compat_libdir=$("$root/tools/unpack_sdl_compat.sh" "$build/sdl12-compat") ;;
esac

work="$(mktemp -d /tmp/plimo-cpu-XXXXXX)"
xvfb_pid=""
pid=""
cleanup() {
  # The program first, so that it never sees its X server go away.
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/data"
cp "$root"/data/* "$work/data/"

# Xvfb picks a free display number itself and writes it to the descriptor it is given.
# No key autorepeat: a loaded machine must not turn one key press into several.
screen=640x480x24
[ "$fullscreen" = 1 ] && screen=800x600x24
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset -ardelay 60000 -arinterval 60000 \
  >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 300); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

# CPU time of every thread of a process so far, in nanoseconds.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { print s + 0 }'; }
now_ns() { date +%s%N; }
hwm_kib() { awk '$1 == "VmHWM:" { print $2 }' "/proc/$1/status"; }

# CPU seconds per second of the running program over one span (of $1 s, or $seconds).
span() {
  local c0 t0 c1 t1
  c0=$(cpu_ns "$pid")
  t0=$(now_ns)
  sleep "${1:-$seconds}"
  c1=$(cpu_ns "$pid")
  t1=$(now_ns)
  kill -0 "$pid" 2>/dev/null || { echo "the program ended during a span" >&2; exit 1; }
  awk -v c=$((c1 - c0)) -v t=$((t1 - t0)) 'BEGIN { printf "%.5f\n", c / t }'
}

# Starts a program in the background (its pid in $pid) and waits for its window.
launch() { # window-name command...
  local name=$1
  shift
  (cd "$work/data" && exec "$@" >"$work/out.log" 2>&1) &
  pid=$!
  local win
  win=$(timeout 60 xdotool search --sync --name "^$name\$" | head -n1) || true
  [ -n "$win" ] || { cat "$work/out.log" >&2; echo "no window named $name" >&2; exit 1; }
  xdotool windowfocus --sync "$win" 2>/dev/null || true
}

stop() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
}

shot() {
  [ -n "${SHOTS_DIR:-}" ] && import -window root "$SHOTS_DIR/$1.png" 2>/dev/null || true
}

press() { xdotool key --delay 80 "$@"; }

declare -A samples
declare -A peak

median() { tr ' ' '\n' | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
spread() { tr ' ' '\n' | sed '/^$/d' | sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%.4f-%.4f", lo, hi }'; }

if [ "${1:-}" = "--peer" ]; then
  tuxmath=/usr/games/tuxmath
  [ -x "$tuxmath" ] || { echo "TuxMath is missing: apt-get install tuxmath" >&2; exit 1; }
  rounds="${ROUNDS:-8}"
  game_seconds="${GAME_SECONDS:-20}"
  programs="plimo"
  [ -n "${PLIMO_BEFORE:-}" ] && programs="plimo before"
  programs="$programs tuxmath"
  # TuxMath keeps its settings and scores in a home of its own, made here.
  mkdir -p "$work/home"
  for flavour in $flavours; do
    env_args=(env SDL_AUDIODRIVER="${PLIMO_AUDIO:-dummy}")
    [ "$flavour" = compat ] && env_args+=(LD_LIBRARY_PATH="$compat_libdir" SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0)
    for round in $(seq "$rounds"); do
      for program in $programs; do
        echo "-- $flavour, round $round of $rounds: $program" >&2
        case $program in
          tuxmath)
            xdotool mousemove 0 479
            launch "Tux, of Math Command" "${env_args[@]}" HOME="$work/home" "$tuxmath" --windowed
            xdotool mousemove 0 479
            sleep 8 # its title animation, then the main menu
            samples[$flavour.$program.menu]+="$(span) "
            shot "$flavour-$program-menu-$round"
            # Play Alone (highlighted first while the pointer stays off the menu), Play
            # Arcade Game, Space Cadet (the easiest).
            xdotool key --delay 250 Return
            sleep 1
            xdotool key --delay 250 Down Down Return
            sleep 1
            xdotool key --delay 250 Return
            ;;
          *)
            binary="$plimo"
            [ "$program" = before ] && binary="$PLIMO_BEFORE"
            launch Plimo "${env_args[@]}" "$binary" window
            sleep 3 # the splash gives way to the language screen after 2 s
            press Return
            sleep 1
            samples[$flavour.$program.menu]+="$(span) "
            shot "$flavour-$program-menu-$round"
            # Addition, the easiest difficulty (one up from the preselected), Help skipped.
            press Return
            sleep 0.5
            press Up Return
            sleep 0.5
            press Return
            ;;
        esac
        samples[$flavour.$program.game]+="$(span "$game_seconds") "
        shot "$flavour-$program-game-$round"
        stop
      done
    done
  done
  echo
  echo "CPU seconds per second (all threads), 640x480 windows, dummy audio, $rounds interleaved rounds, $(nproc) cores:"
  echo "the idle main menu (${seconds} s) and the first ${game_seconds} s of a game nobody answers at the easiest difficulty."
  printf "%-8s %-8s %-6s %9s %15s %8s %6s  %s\n" flavour program screen median spread "x peer" goal verdict
  over=0
  for flavour in $flavours; do
    for scene in menu game; do
      peer=$(echo "${samples[$flavour.tuxmath.$scene]}" | median)
      goal=0.5
      [ "$scene" = game ] && goal=0.8
      for program in $programs; do
        m=$(echo "${samples[$flavour.$program.$scene]}" | median)
        range=$(echo "${samples[$flavour.$program.$scene]}" | spread)
        verdict=""
        if [ "$program" != tuxmath ]; then
          verdict=$(awk -v m="$m" -v p="$peer" -v g="$goal" 'BEGIN { print (p > 0 && m / p <= g) ? "ok" : "OVER" }')
          [ "$program" = plimo ] && [ "$verdict" = OVER ] && over=1
        fi
        awk -v f="$flavour" -v pr="$program" -v sc="$scene" -v m="$m" -v r="$range" -v p="$peer" -v g="$goal" -v v="$verdict" \
          'BEGIN { printf "%-8s %-8s %-6s %9.4f %15s %8.2f %6s  %s\n", f, pr, sc, m, r, (p > 0 ? m / p : 0), (pr == "tuxmath" ? "" : "<=" g), v }'
      done
    done
  done
  exit $over
fi

game_args=(window)
floor_args=("$work/data/menubg.bmp")
if [ "$fullscreen" = 1 ]; then
  game_args=()
  floor_args=(--fullscreen "${floor_args[@]}")
fi

for flavour in $flavours; do
  env_args=(env SDL_AUDIODRIVER="${PLIMO_AUDIO:-dummy}")
  if [ "$flavour" = compat ]; then
    # Both programs on SDL 2's software renderer, as the game chooses for itself.
    env_args+=(LD_LIBRARY_PATH="$compat_libdir" SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0)
  fi
  peak[$flavour]=0
  for round in $(seq "$rounds"); do
    echo "-- $flavour, round $round of $rounds" >&2
    launch Plimo "${env_args[@]}" "$plimo" "${game_args[@]}"
    sleep 3 # the splash gives way to the language screen after 2 s
    samples[$flavour.language]+="$(span) "
    shot "$flavour-language-$round"
    press Return
    sleep 1
    samples[$flavour.menu]+="$(span) "
    shot "$flavour-menu-$round"
    # Addition, the preselected difficulty, the help skipped: a game nobody answers.
    press Return
    sleep 0.5
    press Return
    sleep 0.5
    press Return
    sleep 1
    samples[$flavour.game]+="$(span) "
    shot "$flavour-game-$round"
    kib=$(hwm_kib "$pid")
    [ "$kib" -gt "${peak[$flavour]}" ] && peak[$flavour]=$kib
    stop
    launch "Plimo floor" "${env_args[@]}" "$floor" "${floor_args[@]}"
    sleep 1
    samples[$flavour.floor]+="$(span) "
    stop
    launch "Plimo floor" "${env_args[@]}" "$floor" --poll-1ms "${floor_args[@]}"
    sleep 1
    samples[$flavour.pollfloor]+="$(span) "
    stop
  done
done

echo
mode="a 640x480 window"
[ "$fullscreen" = 1 ] && mode="full screen on an 800x600 X screen"
echo "CPU seconds per second (all threads), medians of $rounds spans of ${seconds} s, $mode, $(nproc) cores."
echo "floor: one unchanged frame presented 100 times a second, sleeping to each next frame;"
echo "polling floor: the same, polling events every 1 ms between frames. Ratios: plimo / floor."
printf "%-8s %-12s %9s %9s %9s %8s %8s %8s  %s\n" flavour screen plimo floor polling ratio "ratio-p" budget verdict
over=0
for flavour in $flavours; do
  floor_median=$(echo "${samples[$flavour.floor]}" | median)
  poll_median=$(echo "${samples[$flavour.pollfloor]}" | median)
  for scene in language menu game; do
    m=$(echo "${samples[$flavour.$scene]}" | median)
    budget=0.5
    [ "$scene" = game ] && budget=0.6
    [ "$scene" = game ] && [ "$flavour" = compat ] && budget=0.7
    line=$(awk -v m="$m" -v f="$floor_median" -v p="$poll_median" -v b="$budget" 'BEGIN {
      r = f > 0 ? m / f : 0; rp = p > 0 ? m / p : 0
      printf "%9.4f %9.4f %9.4f %8.2f %8.2f %8s  %s", m, f, p, r, rp, "<=" b, (r <= b ? "ok" : "OVER") }')
    case "$line" in *OVER) over=1 ;; esac
    printf "%-8s %-12s %s\n" "$flavour" "$scene" "$line"
  done
  mib=$(awk -v k="${peak[$flavour]}" 'BEGIN { printf "%.1f", k / 1024 }')
  verdict=ok
  awk -v m="$mib" 'BEGIN { exit !(m > 35) }' && { verdict=OVER; over=1; }
  printf "%-8s %-12s %9s %9s %9s %8s %8s %8s  %s\n" "$flavour" "peak memory" "$mib MiB" "" "" "" "" "<=35" "$verdict"
done
exit $over
