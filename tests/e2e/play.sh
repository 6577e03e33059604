#!/usr/bin/env bash
# Plays the real game as a player would: a window on its own virtual X server, real key
# events, screenshots compared with the game's own pictures, from the splash through
# every game mode to quitting from the main menu.
#
# Usage: play.sh PLIMO_BINARY DATA_DIR
# Needs Xvfb, xdotool and Python 3 with PIL, Xlib and numpy (tools/setup.sh --tests
# installs them). Every wait polls the screen against a generous time-out, and short
# moments (the prompt hidden for a wrong answer, the burst after Escape) are recorded
# from before the key is pressed, so a slow or loaded machine only makes it take longer.
set -euo pipefail

source "$(dirname "$0")/lib.sh"

[ "${#lang_pictures[@]}" -ge 2 ] || fail "the content file names fewer than two language pictures"

start_x
start_game

# ---------------------------------------------------------------- the walk

step "Splash shows, then gives way by itself"
# Looked for before anything else: it stands for only two seconds.
wait_for 60 "the splash picture" is_splash
find_window
wait_for 30 "the language choice after the splash" shows_language 0

step "LanguagePick steps to the next language and back"
press Right
wait_for 30 "the second language's picture" shows_language 1
press Left
wait_for 30 "the first language's picture again" shows_language 0
press Return
wait_for 30 "the main menu" is_main_menu

modes=(Addition Sign Subtraction Multiplication Division Mixed)

# Answers the leading problem wrongly: in Sign mode any digit is wrong; elsewhere keypad
# plus counts as 11 per key, which no answer of 1, 2 or 3 digits can equal. Keys go one
# at a time until the prompt hides for the block; the screen is recorded from before each
# key, and each key has 3 s of recorded screens after its press to hide the prompt.
wrong_answer() { # mode
  local key=KP_Add tries pressed age
  [ "$1" = Sign ] && key=1
  for tries in 1 2 3 4; do
    screen record
    press "$key"
    screen age
    pressed=$reply
    while :; do
      screen next 10000
      [ "$reply" != none ] || fail "the screen recording stopped ($1)"
      age=${reply#ok }
      if prompt_hidden; then
        screen stop
        wait_for 30 "the prompt back after the block" prompt_shown
        return 0
      fi
      [ "$age" -lt $((pressed + 3000)) ] || break
    done
    screen stop
  done
  fail "the prompt never hid after $tries wrong keys ($1)"
}

# Escape ends the game: the dark red disc grows over the last game picture for a second,
# then the game-over menu shows. The screen is recorded from before the key until that
# menu, and the largest share of the disc's colour in any frame must pass half the screen.
end_game_with_escape() {
  local best pressed menu frames
  screen record
  press Escape
  screen age
  pressed=$reply
  wait_for 30 "the game-over menu after the burst" is_gameover_menu
  screen age
  menu=$reply
  screen stop
  frames=$reply
  screen best 9f0000
  best=$reply
  if ! awk -v b="$best" 'BEGIN { exit !(b > 0.5) }'; then
    screen timeline 9f0000
    fail "no dark red burst over the screen after Escape (best share $best; Escape sent at $pressed ms, the menu seen at $menu ms; $frames frames as ms:share: $reply)"
  fi
  echo "   burst covered $best of the screen at most ($frames frames, Escape at $pressed ms, menu seen at $menu ms)"
}

for mode in 0 1 2 3 4 5; do
  name=${modes[$mode]}
  step "$name: choose it on the main menu"
  for ((i = 0; i < mode; i++)); do press Down; done
  press Return
  wait_for 30 "the difficulty menu ($name)" is_difficulty

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
  wait_for 30 "the help picture $help_picture ($name)" is_help "$help_picture"
  if ((mode % 2)); then
    step "$name: Confirm skips the help"
    press Return
  else
    step "$name: the help gives way by itself"
  fi
  wait_for 30 "the game with its prompt ($name)" prompt_shown

  step "$name: a wrong answer hides the prompt while the keys are blocked"
  wrong_answer "$name"

  step "$name: Escape ends the game in the burst, then the game-over menu"
  end_game_with_escape

  if [ "$mode" = 0 ]; then
    step "$name: play again from the game-over menu"
    press Return
    wait_for 30 "a new game with its prompt" prompt_shown
    end_game_with_escape
  fi

  step "$name: back to the main menu"
  press Down Return
  wait_for 30 "the main menu after the game" is_main_menu
done

step "quit from the main menu's last entry"
press Down Down Down Down Down Down Down Return
wait_for_exit 30 "Quit"
echo "PASS: played through all six modes and quit with status 0"
