#!/usr/bin/env bash
# Faults from around the game, on an X server that repeats held keys, with both music
# tracks FIFOs that no one writes: a game started with its output streams closed shows
# and ends on TERM, a held key is one stroke, a key released while another
# window has the focus does nothing, pixels another program draws over the window go
# within a second or so, the FIFOs hold neither the start nor a game up, and the close
# button ends the game.
#
# Usage: faults.sh PLIMO_BINARY DATA_DIR
# Needs what play.sh needs (tools/setup.sh --tests installs it).
set -euo pipefail

source "$(dirname "$0")/lib.sh"
# The game's data with the tracks as FIFOs (cp -r copies a FIFO as a FIFO).
cp -r "$data" "$work/data"
data=$work/data
rm "$data/menu.ogg" "$data/ingame1.ogg"
mkfifo "$data/menu.ogg" "$data/ingame1.ogg"

# The main menu's cursor stands left of entry $1.
cursor_at() { drawn_over menubg.bmp "16x22+222+$((100 + 40 * $1))"; }

start_x on

step "started with standard output and error closed (as some launchers do), no sound device"
# The lines the game has to say (no sound, the FIFO tracks) must not reach its display
# connection, which would otherwise take a closed descriptor: the splash shows, and TERM
# still ends the game (status 0).
mkdir "$work/closed"
cp -r "$data/." "$work/closed/"
(cd "$work/closed" && exec env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=plimo-no-such-driver "$plimo" window >&- 2>&-) &
game_pid=$!
wait_for 60 "the splash of the game without standard output and error" is_splash
kill -TERM "$game_pid"
wait_for_end 30 "TERM, without standard output and error"

start_game
wait_for 60 "the splash, the menu music a FIFO" is_splash
find_window
wait_for 30 "the language choice" shows_language 0
press Return
wait_for 30 "the main menu" is_main_menu
cursor_at 0 || fail "the main menu opened with its cursor off the first entry"

step "Down held for a second, repeated by the server, moves the cursor one entry"
screen key down Down
sleep 1 # the server repeats the key meanwhile
screen key up Down
wait_for 10 "the cursor on the second entry" cursor_at 1
press Up
wait_for 10 "the cursor back on the first entry" cursor_at 0

step "Down pressed, the focus taken away, Down released, the focus back: the cursor stays"
screen key down Down
screen focus none
screen key up Down
screen focus "$win"
press Down
wait_for 10 "the cursor on the second entry after one more Down" cursor_at 1

step "another program draws over the still main menu: gone again soon"
screen scribble 120x60+20+400
drawn_at=$(now_ms)
wait_for 30 "the window's own pixels back" same_region menubg.bmp 120x60+20+400
echo "   the foreign pixels were gone $(($(now_ms) - drawn_at)) ms after they were drawn"

step "into a game, the game music a FIFO"
press Up Return
wait_for 30 "the difficulty menu" is_difficulty
press Return Return
wait_for 30 "a game with its prompt" prompt_shown

step "the close button ends the game"
screen close "$win"
wait_for_end 30 "its close button"
# Standard error names each track once, and nothing else.
grep -qv -e '^menu.ogg: ' -e '^ingame1.ogg: ' "$work/game.err" && fail "the game wrote more than the two tracks' lines"
echo "PASS: held keys are single strokes, releases without the focus do nothing, foreign pixels go, FIFO tracks hold nothing up"
