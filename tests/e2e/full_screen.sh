#!/usr/bin/env bash
# The game full screen on X screens larger than it with no window manager (a kiosk, a
# session started by xinit): the whole game shows, centred (classic SDL 1.2) or scaled
# to fit (SDL 1.2 over SDL 2), never a cropped part of it.
#
# Usage: full_screen.sh PLIMO_BINARY DATA_DIR
# Needs what play.sh needs (tools/setup.sh --tests installs it).
set -euo pipefail

e2e_screen=${FULL_SCREEN_SIZE:-1024x768}
source "$(dirname "$0")/lib.sh"
game_args=() # no argument: full screen

# The screen's part that is not black, scaled to 640x480, shows the language screen:
# its background picture under the language's picture and names (a mean difference of
# about 14 from the bare background; a cropped part of the game differs by about 48).
# Looked for after the splash, whose first frames may show before the screen is filled.
fit=""
whole_game() { screen fit "$data/menubg.bmp"; fit=$reply; awk -v d="$fit" 'BEGIN { exit !(d < 25) }'; }

start_x
start_game
wait_for 60 "the whole language screen on the $e2e_screen screen" whole_game
echo "PASS: the whole game shows full screen on $e2e_screen without a window manager (mean difference $fit)"
