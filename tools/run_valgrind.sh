#!/usr/bin/env bash
# Runs the real game under valgrind's memcheck: a short scripted session in a window on
# its own virtual X server (the language choice, a game with typed answers, the game-over
# menu, quitting), the same language screen with broken language pictures and a broken
# sound effect, and start-up on the content files that once took the XML parser past its
# buffer. Fails on any memory error, and on definite leaks other than the libraries' own
# known ones (tests/valgrind.supp).
#
# Usage: tools/run_valgrind.sh [build-dir, default build]  (an ordinary build, not the
# sanitizer one). Installs valgrind when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-${PLIMO_BUILD_DIR:-build}}
plimo=$(realpath "$build/plimo")
faults="$root/tests/data/faults"

if ! command -v valgrind >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends valgrind >/dev/null
fi

data="$root/data"
source tests/e2e/lib.sh
logs="$work/valgrind"
mkdir -p "$logs"

# Errors (invalid reads, uses of uninitialised values) and definite leaks fail a run;
# memory still reachable at exit (what the game keeps for its whole life, the libraries'
# caches) does not. valgrind writes to its own log, so the game's standard error stays
# the game's.
valgrind_for() { # log name
  echo valgrind --log-file="$logs/$1.log" --error-exitcode=99 --leak-check=full \
    --show-leak-kinds=definite --errors-for-leak-kinds=definite \
    --suppressions="$root/tests/valgrind.supp" --gen-suppressions=all --num-callers=30
}

# The data folder with some files replaced by fault files: "name=fault-file".
broken_data() { # folder name=fault...
  local dir=$1 pair
  shift
  rm -rf "$dir"
  mkdir -p "$dir"
  cp -r "$root/data/." "$dir/"
  for pair in "$@"; do
    cp "$faults/${pair#*=}" "$dir/${pair%%=*}"
  done
}

clean_log() { # name
  grep -q 'ERROR SUMMARY: 0 errors' "$logs/$1.log" || {
    cat "$logs/$1.log" >&2
    fail "$1: valgrind reports errors"
  }
  echo "   $1: $(grep -o 'ERROR SUMMARY: [0-9]* errors' "$logs/$1.log" | tail -1)"
}

# The cursor ">>" left of the menu row at y.
cursor_at() { drawn_over menubg.bmp "30x22+198+$1" 10; }

start_x

step "a short session: the language choice, a game, the game-over menu, quitting"
start_game $(valgrind_for session)
find_window
wait_for 120 "the language choice" shows_language 0
press Right
wait_for 60 "the second language" shows_language 1
press Left Return
wait_for 60 "the main menu" is_main_menu
press Return
wait_for 60 "the difficulty menu" is_difficulty
press Return Return
wait_for 60 "a game" is_playing
press 1 2 3 KP_4 KP_5 BackSpace 7 8 Escape
wait_for 60 "the game-over menu" is_gameover_menu
press Escape
wait_for 60 "the main menu after the game" is_main_menu
press Escape
wait_for 60 "the quit entry" cursor_at 380
press Return
wait_for_exit 120 "Quit"
clean_log session

step "broken language pictures and a broken effect, stepped through on the language choice"
# The first three languages' pictures: cut short in the header, a height of INT_MIN, and
# 16383x16383 pixels claimed by 54 bytes; the right-answer effect claims 1 Hz.
broken_data "$work/broken" "${lang_pictures[0]}=header_cut_at_22.bmp" \
  "${lang_pictures[1]}=height_int_min.bmp" "${lang_pictures[2]}=claims_16383_square.bmp" \
  correct.wav=rate_1_hz.wav
good_data=$data
data="$work/broken"
rm -rf "$work/game" && mkdir -p "$work/game"
start_game $(valgrind_for broken)
find_window
data=$good_data
# The language screen: the current language's name, and the broken picture left out (a
# part of the screen that only the picture covers shows the menu picture).
name_row=120x22+280+370
wait_for 120 "the language choice" eval 'same_region menubg.bmp 40x20+195+260 && drawn_over menubg.bmp "$name_row"'
for step in 2 3 4; do
  screen save "$work/before.png"
  press Right
  wait_for 60 "language $step" eval 'differing "$name_row" "$work/before.png"; [ "$reply" -gt 20 ]'
done
press Escape
# The broken effect is reported on standard error, as it should be; nothing else is.
wait_for_end 120 "Escape on broken data"
grep -v '^correct.wav: ' "$work/game.err" >&2 && fail "broken data: more on standard error than the effect"
clean_log broken

step "content files ending in a UTF-8 lead byte inside an attribute value"
for file in utf8_lead_at_end.xml utf8_bom_lead_at_end.xml; do
  broken_data "$work/content" "plimo.xml=$file"
  status=0
  (cd "$work/content" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy $(valgrind_for "$file") "$plimo" window \
    >/dev/null 2>"$work/game.err") || status=$?
  [ "$status" -eq 1 ] || { cat "$work/game.err" >&2; fail "$file: status $status, expected 1 (refused)"; }
  clean_log "$file"
done
echo "PASS: valgrind found no memory errors and no leaks of the game's own"
