# Shared by the end-to-end scripts (sourced, not run): a virtual X server without key
# autorepeat, the real game in a window on it, a screen grabber that stays connected to
# the server, waiting for screens, real key presses, and what each of the game's screens
# looks like in a screenshot.
#
# A walk takes the game binary and its data folder as its two arguments, read here into
# plimo and data unless the walk set them itself before sourcing. After it,
# call start_x, start_game and find_window; fail, step and the checks below are then
# ready. The work folder ($work) is removed at exit unless something failed.
# Needs Xvfb, xdotool, /usr/bin/python3 with python3-pil, python3-xlib and python3-numpy
# (tools/setup.sh --tests installs them all).
# Every wait polls the screen against a generous time-out; nothing relies on a fixed
# sleep, so a slow or loaded machine (or the sanitizer build) only makes it take longer.

if [ -z "${plimo:-}" ]; then
  if [ $# -ne 2 ]; then
    echo "usage: $0 PLIMO_BINARY DATA_DIR" >&2
    exit 2
  fi
  plimo=$(realpath "$1")
  data=$(realpath "$2")
fi

e2e_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
e2e_name=$(basename "$0")
e2e_python=/usr/bin/python3

for tool in Xvfb xdotool "$e2e_python"; do
  if ! command -v "$tool" >/dev/null; then
    echo "$e2e_name: $tool is missing; run tools/setup.sh --tests" >&2
    exit 1
  fi
done
if ! "$e2e_python" -c 'import numpy, PIL, Xlib' 2>/dev/null; then
  echo "$e2e_name: python3-numpy, python3-pil or python3-xlib is missing; run tools/setup.sh --tests" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/plimo-e2e.XXXXXX")
mkdir -p "$work/game"
xvfb_pid=""
game_pid=""
game_args=(window)
screen_pid=""
screen_in=""
screen_out=""
failed=0
reply=""

cleanup() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
    kill "$game_pid" 2>/dev/null || true
    # A game that ignores TERM (hung on its display connection) is killed after 10 s.
    for _ in $(seq 200); do
      kill -0 "$game_pid" 2>/dev/null || break
      sleep 0.05
    done
    kill -KILL "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
  fi
  if [ -n "$screen_pid" ]; then
    # The grabber ends when its input closes.
    [ -n "$screen_in" ] && exec {screen_in}>&-
    kill "$screen_pid" 2>/dev/null || true
    wait "$screen_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  if [ "$failed" = 0 ]; then
    rm -rf "$work"
  else
    echo "$e2e_name: screenshots and logs kept in $work" >&2
  fi
}
trap cleanup EXIT

step() { echo "-- $*"; }

fail() {
  failed=1
  echo "FAIL: $*" >&2
  # The screen the last check looked at, unless the grabber itself is what failed.
  if [ -n "$screen_pid" ] && [ "${e2e_saving:-0}" = 0 ]; then
    e2e_saving=1
    screen save "$work/failed-at.png" && echo "$e2e_name: the last screen checked is $work/failed-at.png" >&2
  fi
  if [ -s "$work/game.err" ]; then
    echo "game's standard error:" >&2
    cat "$work/game.err" >&2
  fi
  exit 1
}

# Milliseconds on the wall clock, without starting a process.
now_ms() {
  local t=${EPOCHREALTIME/[.,]/}
  echo $((10#$t / 1000))
}

# ---------------------------------------------------------------- X server and game

# A virtual 640x480 screen (or e2e_screen, WxH), on a display number that Xvfb picks itself. Autorepeat is off
# (-r; the long delay only in case a client turns it back on): on a loaded machine the
# time between xdotool's press and release can pass the repeat delay, and one press would
# then become several. With "start_x on", held keys repeat after 100 ms, 50 times a
# second, for the tests of held keys.
start_x() {
  local display_fd deadline repeat=(-r -ardelay 60000 -arinterval 60000)
  [ "${1:-off}" = on ] && repeat=(-ardelay 100 -arinterval 20)
  exec {display_fd}>"$work/display"
  Xvfb -displayfd "$display_fd" -screen 0 "${e2e_screen:-640x480}x24" -nolisten tcp -noreset \
    "${repeat[@]}" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec {display_fd}>&-
  deadline=$(($(now_ms) + 60000))
  until grep -q '^[0-9]' "$work/display" 2>/dev/null; do
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
    [ "$(now_ms)" -lt "$deadline" ] || fail "Xvfb named no display within 60 s"
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$work/display")"

  mkfifo "$work/screen.in" "$work/screen.out"
  "$e2e_python" "$e2e_here/screen.py" "$DISPLAY" <"$work/screen.in" >"$work/screen.out" 2>"$work/screen.err" &
  screen_pid=$!
  exec {screen_in}>"$work/screen.in" {screen_out}<"$work/screen.out"
  screen autorepeat
  [ "$reply" = "${1:-off}" ] || fail "the X server's key autorepeat is $reply"
  step "virtual X server on $DISPLAY, key autorepeat $reply"
}

# Asks the screen grabber (tests/e2e/screen.py tells its commands); its answer is left
# in $reply. A grabber that answers with an error, or not at all, fails the test.
screen() {
  printf '%s\n' "$*" >&"$screen_in" || { screen_pid=""; fail "the screen grabber is gone"; }
  if ! IFS= read -r -t 120 reply <&"$screen_out"; then
    screen_pid=""
    cat "$work/screen.err" >&2
    fail "the screen grabber did not answer '$*'"
  fi
  case $reply in error:*) fail "screen grabber: $reply" ;; esac
}

# The game, on a copy of the data folder, in a 640x480 window (full screen when
# game_args is empty; extra arguments go before the game: env assignments such as LANG=...). In the sanitizer build the leaks that SDL
# and X11 keep are suppressed quietly, so that anything at all on standard error is a fault.
start_game() {
  cp -r "$data/." "$work/game/"
  local lsan_options="${LSAN_OPTIONS:-suppressions=$e2e_here/../lsan.supp}:print_suppressions=0"
  # The suite runs with SDL_VIDEODRIVER=dummy; this test needs the real X11 window.
  (cd "$work/game" && exec env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy LSAN_OPTIONS="$lsan_options" \
    "$@" "$plimo" "${game_args[@]}" >"$work/game.out" 2>"$work/game.err") &
  game_pid=$!
}

# Finds the game's window and gives it the keyboard focus: keys go to it through XTEST,
# as a keyboard's would. The screenshots are of the whole screen, which the window fills.
win=""
find_window() {
  local geometry
  # Only a window that is shown can take the focus: SDL names it before mapping it, and a
  # slow game (under valgrind) is caught in between.
  win=$(timeout 60 xdotool search --sync --onlyvisible --name '^Plimo$' | head -n1) || true
  [ -n "$win" ] || fail "no window named Plimo shown within 60 s"
  timeout 60 xdotool windowfocus --sync "$win" || fail "the window would not take the focus"
  [ "$(xdotool getwindowfocus)" = "$win" ] || fail "the focus is on $(xdotool getwindowfocus), not on the window $win"
  geometry=$(xdotool getwindowgeometry "$win" | tr -s ' \n' ' ')
  case $geometry in
    *"Position: 0,0 "*"Geometry: 640x480"*) ;;
    *) fail "the window does not fill the 640x480 screen: $geometry" ;;
  esac
  step "window $win"
}

# Real key presses and releases (X keysym names), 20 ms apart, to the focused window;
# sent by the screen grabber, which is already connected, so that a key goes out at once
# even when starting a program takes seconds.
press() { screen press "$@"; }

# Waits until the predicate holds on a fresh screenshot, polling without pause beyond
# the grab itself; fails after the time-out or when the game has ended.
wait_for() { # seconds description predicate...
  local limit=$(($(now_ms) + $1 * 1000)) what=$2
  shift 2
  while :; do
    screen grab
    if "$@"; then return 0; fi
    [ "$(now_ms)" -lt "$limit" ] || fail "timed out waiting for $what"
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended while waiting for $what"
    sleep 0.02
  done
}

# Waits for the game to end by itself and checks that it ended with status 0; what it
# wrote is left to the caller.
wait_for_end() { # seconds description
  local deadline=$(($(now_ms) + $1 * 1000)) status=0
  while kill -0 "$game_pid" 2>/dev/null; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "the game did not end after $2"
    sleep 0.05
  done
  wait "$game_pid" || status=$?
  game_pid=""
  [ "$status" -eq 0 ] || fail "the game ended with status $status after $2"
}

# Waits for the game to end by itself and checks that it ended well: status 0, nothing
# on standard output or standard error.
wait_for_exit() { # seconds description
  wait_for_end "$@"
  [ ! -s "$work/game.out" ] || fail "the game wrote to standard output: $(head -c 300 "$work/game.out")"
  [ ! -s "$work/game.err" ] || fail "the game wrote to standard error"
}

# ---------------------------------------------------------------- what the screens show

# Pixels that differ between a region of the current screenshot and a region of a
# picture (geometries WxH+X+Y; the picture's region defaults to the same).
differing() { # geometry picture [picture geometry]
  screen diff "$1" "${3:-$1}" "$2"
}
same_region() { differing "$2" "$data/$1"; [ "$reply" -eq 0 ]; }                   # picture geometry
drawn_over() { differing "$2" "$data/$1"; [ "$reply" -gt "${3:-20}" ]; }           # picture geometry [pixels]

# The language pictures, in the content file's order.
mapfile -t lang_pictures < <(LC_ALL=C grep -o '<language[^>]*' "$data/plimo.xml" |
  LC_ALL=C sed -n 's/.*image="\([^"]*\)".*/\1/p')

# The language picture stands centred, blitted as it is.
shows_language() { # index into lang_pictures
  local picture=$data/${lang_pictures[$1]} w h
  screen size "$picture"
  read -r w h <<<"$reply"
  differing "${w}x${h}+$(((640 - w) / 2))+$(((480 - h) / 2))" "$picture" "${w}x${h}+0+0"
  [ "$reply" -eq 0 ]
}

# Menu rows, as the menus place their texts (all start at x 240).
row_title=200x22+240+40  # main menu title
row_140=200x22+240+140   # main menu entry 2; nothing on Difficulty
row_180=200x22+240+180   # Difficulty entry 0, the game-over score line
row_260=200x22+240+260   # a main menu and a Difficulty entry; nothing on GameOver
row_340=200x22+240+340   # game-over "play again", Difficulty "back"

is_splash() { same_region splash.bmp 640x480+0+0; }
is_main_menu() { drawn_over menubg.bmp "$row_title" && drawn_over menubg.bmp "$row_140" && ! shows_language 0; }
is_difficulty() { same_region menubg.bmp "$row_title" && same_region menubg.bmp "$row_140" && drawn_over menubg.bmp "$row_180" && drawn_over menubg.bmp "$row_260"; }
is_gameover_menu() { same_region menubg.bmp "$row_title" && drawn_over menubg.bmp "$row_180" && same_region menubg.bmp "$row_260" && drawn_over menubg.bmp "$row_340"; }
# Help draws one line at the top; the rest is the picture.
is_help() { same_region "$1" 640x360+0+120; }

# On Playing, the lower left corner holds nothing but the in-game picture, which one of
# three depends on how far the leading problem has come.
playing_background=""
is_playing() {
  local picture
  for picture in ingame_good.bmp ingame_neutral.bmp ingame_bad.bmp; do
    if same_region "$picture" 300x60+0+420; then
      playing_background=$picture
      return 0
    fi
  done
  return 1
}
# The answer prompt's lowest rows (its underscores and digits) at (310, 420) in big text;
# a tossed feedback text stays above these rows for the first 400 ms of its flight.
prompt_rows=120x14+310+466
prompt_shown() { is_playing && drawn_over "$playing_background" "$prompt_rows" 30; }
prompt_hidden() { is_playing && same_region "$playing_background" "$prompt_rows"; }
