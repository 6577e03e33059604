#!/usr/bin/env bash
# Plays the real game as a player would: a window on its own virtual X server, real key
# events, screenshots compared with the game's own pictures, from the splash through
# every game mode to quitting from the main menu.
#
# Usage: play.sh PLIMO_BINARY DATA_DIR
# Needs Xvfb, xdotool and ImageMagick (tools/setup.sh --tests installs them).
# Every wait polls screenshots against a generous time-out; nothing relies on a fixed
# sleep alone, so a slow machine (or the sanitizer build) only makes it take longer.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 PLIMO_BINARY DATA_DIR" >&2
  exit 2
fi
plimo=$(realpath "$1")
data=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)

for tool in Xvfb xdotool import compare identify; do
  if ! command -v "$tool" >/dev/null; then
    echo "play.sh: $tool is missing; run tools/setup.sh --tests" >&2
    exit 1
  fi
done
# ImageMagick's convert; a stand-in of that name may come first on the PATH.
magick=/usr/bin/convert
[ -x "$magick" ] || magick=convert

work=$(mktemp -d "${TMPDIR:-/tmp}/plimo-e2e.XXXXXX")
mkdir -p "$work/game" "$work/shots"
cp -r "$data/." "$work/game/"
shot="$work/shots/now.bmp"
xvfb_pid=""
game_pid=""
failed=0

cleanup() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
    kill "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  if [ "$failed" = 0 ]; then
    rm -rf "$work"
  else
    echo "play.sh: screenshots and logs kept in $work" >&2
  fi
}
trap cleanup EXIT

step() { echo "-- $*"; }

fail() {
  failed=1
  echo "FAIL: $*" >&2
  [ -f "$shot" ] && cp "$shot" "$work/failed-at.bmp"
  if [ -s "$work/game.err" ]; then
    echo "game's standard error:" >&2
    cat "$work/game.err" >&2
  fi
  exit 1
}

ms() { date +%s%3N; }

# ---------------------------------------------------------------- X server and game

# Xvfb picks a free display number itself and writes it to the descriptor we hand it.
exec {display_fd}>"$work/display"
Xvfb -displayfd "$display_fd" -screen 0 640x480x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec {display_fd}>&-
deadline=$(($(ms) + 30000))
until grep -q '^[0-9]' "$work/display" 2>/dev/null; do
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
  [ "$(ms)" -lt "$deadline" ] || fail "Xvfb named no display within 30 s"
  sleep 0.05
done
export DISPLAY=":$(head -n1 "$work/display")"
step "virtual X server on $DISPLAY"

# The suite runs with SDL_VIDEODRIVER=dummy; this test needs the real X11 window.
# In the sanitizer build, the leaks SDL and X11 keep are suppressed, quietly, so that
# anything at all on standard error is a fault.
lsan_options="${LSAN_OPTIONS:-suppressions=$here/../lsan.supp}:print_suppressions=0"
(cd "$work/game" && exec env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy LSAN_OPTIONS="$lsan_options" \
  "$plimo" window >"$work/game.out" 2>"$work/game.err") &
game_pid=$!

win=$(timeout 30 xdotool search --sync --name '^Plimo$' | head -n1) || true
[ -n "$win" ] || fail "no window named Plimo within 30 s"
timeout 30 xdotool windowfocus --sync "$win" || fail "the window would not take the focus"
step "window $win"

# ---------------------------------------------------------------- pictures

take() { import -window "$win" "${1:-$shot}" 2>/dev/null; }

# Pixels that differ between a region of a screenshot and a region of a picture.
differing() { # shot geometry picture geometry
  local n
  n=$(compare -metric AE "$1[$2]" "$3[$4]" null: 2>&1 >/dev/null) || true
  case "$n" in
    '' | *[!0-9.e+]*) echo 999999 ;;
    *) awk -v n="$n" 'BEGIN { printf "%d\n", n }' ;;
  esac
}

same_region() { [ "$(differing "$shot" "$2" "$data/$1" "$2")" -eq 0 ]; }         # picture geometry
drawn_over() { [ "$(differing "$shot" "$2" "$data/$1" "$2")" -gt "${3:-20}" ]; } # picture geometry [pixels]

picture_size() { identify -format '%w %h' "$1"; }

# The language pictures, in the content file's order.
mapfile -t lang_pictures < <(LC_ALL=C grep -o '<language[^>]*' "$data/plimo.xml" |
  LC_ALL=C sed -n 's/.*image="\([^"]*\)".*/\1/p')
[ "${#lang_pictures[@]}" -ge 2 ] || fail "the content file names fewer than two language pictures"

# The language picture stands centred, blitted as it is.
shows_language() { # index into lang_pictures
  local picture=$data/${lang_pictures[$1]} w h
  read -r w h < <(picture_size "$picture")
  [ "$(differing "$shot" "${w}x${h}+$(((640 - w) / 2))+$(((480 - h) / 2))" "$picture" "${w}x${h}+0+0")" -eq 0 ]
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

# Share of the screen painted in the burst colour 0x9f0000.
red_share() { # shot
  "$magick" "$1" -fill black +opaque '#9f0000' -fill white -opaque '#9f0000' -format '%[fx:mean]' info:
}

# ---------------------------------------------------------------- waiting and keys

wait_for() { # seconds description predicate...
  local limit=$(($(ms) + $1 * 1000)) what=$2
  shift 2
  while :; do
    take
    if "$@"; then return 0; fi
    [ "$(ms)" -lt "$limit" ] || fail "timed out waiting for $what"
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended while waiting for $what"
    sleep 0.05
  done
}

press() { xdotool key --window "$win" --delay 40 "$@"; }

# Screenshots taken in quick pairs for a while, for moments too short to check one by
# one (one ImageMagick process grabs a pair a few ms apart; starting it costs more).
burst_shots() { # milliseconds prefix
  local until=$(($(ms) + $1)) i=0
  rm -f "$work/shots/$2"-*.bmp
  while [ "$(ms)" -lt "$until" ]; do
    import -window "$win" -snaps 2 -pause 0 "$work/shots/$2-$(printf %03d $i)-%d.bmp" 2>/dev/null
    i=$((i + 1))
    sleep 0.03
  done
}

# ---------------------------------------------------------------- the walk

step "Splash shows, then gives way by itself"
wait_for 20 "the splash picture" is_splash
wait_for 20 "the language choice after the splash" shows_language 0

step "LanguagePick steps to the next language and back"
press Right
wait_for 10 "the second language's picture" shows_language 1
press Left
wait_for 10 "the first language's picture again" shows_language 0
press Return
wait_for 10 "the main menu" is_main_menu

modes=(Addition Sign Subtraction Multiplication Division Mixed)

# Answers the leading problem wrongly: in Sign mode any digit is wrong; elsewhere keypad
# plus counts as 11 per key, which no answer of 1, 2 or 3 digits can equal. Keys go one
# at a time until the prompt hides for the block.
wrong_answer() { # mode
  local key=KP_Add tries f
  [ "$1" = Sign ] && key=1
  for tries in 1 2 3 4; do
    press "$key"
    burst_shots 900 wrong
    for f in "$work/shots"/wrong-*.bmp; do
      cp "$f" "$shot"
      if prompt_hidden; then
        wait_for 10 "the prompt back after the block" prompt_shown
        return 0
      fi
    done
  done
  fail "the prompt never hid after $tries wrong keys ($1)"
}

# Escape ends the game: the dark red disc grows over the last game picture for a second.
end_game_with_escape() {
  local best=0 f share
  press Escape
  burst_shots 1400 burst
  for f in "$work/shots"/burst-*.bmp; do
    share=$(red_share "$f")
    best=$(awk -v a="$best" -v b="$share" 'BEGIN { print (b > a) ? b : a }')
  done
  echo "   burst covered $best of the screen at most"
  awk -v b="$best" 'BEGIN { exit !(b > 0.5) }' || fail "no dark red burst over the screen after Escape (best share $best)"
  wait_for 10 "the game-over menu after the burst" is_gameover_menu
}

for mode in 0 1 2 3 4 5; do
  name=${modes[$mode]}
  step "$name: choose it on the main menu"
  for ((i = 0; i < mode; i++)); do press Down; done
  press Return
  wait_for 10 "the difficulty menu ($name)" is_difficulty

  # Difficulty opens on its second entry; walk to difficulty mode % 4.
  level=$((mode % 4))
  case $level in
    0) press Up ;;
    2) press Down ;;
    3) press Down Down ;;
  esac
  press Return
  help_picture=help.bmp
  [ "$name" = Sign ] && help_picture=help_plusminus.bmp
  wait_for 10 "the help picture $help_picture ($name)" is_help "$help_picture"
  if ((mode % 2)); then
    step "$name: Confirm skips the help"
    press Return
  else
    step "$name: the help gives way by itself"
  fi
  wait_for 15 "the game with its prompt ($name)" prompt_shown

  step "$name: a wrong answer hides the prompt while the keys are blocked"
  wrong_answer "$name"

  step "$name: Escape ends the game in the burst, then the game-over menu"
  end_game_with_escape

  if [ "$mode" = 0 ]; then
    step "$name: play again from the game-over menu"
    press Return
    wait_for 10 "a new game with its prompt" prompt_shown
    end_game_with_escape
  fi

  step "$name: back to the main menu"
  press Down Return
  wait_for 10 "the main menu after the game" is_main_menu
done

step "quit from the main menu's last entry"
press Down Down Down Down Down Down Down Return
deadline=$(($(ms) + 20000))
while kill -0 "$game_pid" 2>/dev/null; do
  [ "$(ms)" -lt "$deadline" ] || fail "the game did not end after Quit"
  sleep 0.05
done
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 0 ] || fail "the game ended with status $status after Quit"
[ ! -s "$work/game.out" ] || fail "the game wrote to standard output: $(head -c 300 "$work/game.out")"
[ ! -s "$work/game.err" ] || fail "the game wrote to standard error"
echo "PASS: played through all six modes and quit with status 0"
