#!/usr/bin/env bash
# Loses the X server under a running game: the game is played into a game in a window on
# its own virtual X server, the server is killed, and the game must end by itself within
# 2 seconds, with a failure status (neither 0 nor a crash), instead of hanging or spinning
# on the dead connection.
#
# Usage: x_loss.sh PLIMO_BINARY DATA_DIR
# Needs what play.sh needs (tools/setup.sh --tests installs it). Every wait before the
# kill polls the screen against a generous time-out; only the end is held to its 2 s.
set -euo pipefail

source "$(dirname "$0")/lib.sh"
# How long the game may take to notice the loss and end.
limit_ms=${X_LOSS_LIMIT_MS:-2000}

start_x
start_game
find_window

step "into a game: Confirm on the splash, the language, Addition, the difficulty, Help"
wait_for 60 "the language choice" shows_language 0
press Return
wait_for 30 "the main menu" is_main_menu
press Return
wait_for 30 "the difficulty menu" is_difficulty
press Return Return
wait_for 30 "a game" is_playing

step "the X server killed under the game"
killed_at=$(now_ms)
kill -KILL "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=""
# No screen to save from now on.
e2e_saving=1
while kill -0 "$game_pid" 2>/dev/null; do
  if [ $(($(now_ms) - killed_at)) -gt "$limit_ms" ]; then
    state=$(awk '{ print $3 }' "/proc/$game_pid/stat" 2>/dev/null || echo "?")
    # A game stuck in this way ignores TERM; the clean-up's TERM would wait for ever.
    kill -KILL "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
    game_pid=""
    fail "the game still ran $limit_ms ms after losing its X server (process state $state)"
  fi
  sleep 0.01
done
took=$(($(now_ms) - killed_at))
status=0
wait "$game_pid" || status=$?
game_pid=""
echo "   the game ended $took ms after the loss, status $status"
[ "$status" -ne 0 ] || fail "the game ended with status 0 after losing its display"
# 128 and above are signals: a crash, or a sanitizer's abort.
[ "$status" -lt 128 ] || fail "the game died with status $status after losing its display"
[ ! -s "$work/game.out" ] || fail "the game wrote to standard output"
echo "PASS: the game ended by itself $took ms after losing its X server (status $status)"
