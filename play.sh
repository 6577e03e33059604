#!/usr/bin/env bash
# Sets up what is missing, builds Plimo (Release, in build-play/) and starts it in a
# 640x480 window from its data folder, with the game's options passed on (see
# ./play.sh --help); --fullscreen among them plays full screen instead, with the other
# options kept. Only the game writes to standard output: setting up and building show on
# standard error, so that ./play.sh --progress > file holds the grids alone. A user whom
# sudo does not let install what is missing gets one line naming the apt-get command to
# ask an administrator for, and status 1.
set -euo pipefail
# The game's lines (--help, a misspelt option) name the command typed to start it, not
# plimo, which a checkout does not put on the PATH.
command_name=$0
case $command_name in */*) ;; *) command_name=./$command_name ;; esac
cd "$(dirname "$0")"
tools/setup.sh >&2
# Its own build folder: the tests build in build/ with another build type, and sharing
# one would rebuild everything at each switch.
cmake -S . -B build-play -DCMAKE_BUILD_TYPE=Release -DPLIMO_TESTS=OFF >/dev/null
tools/build.sh build-play -j"$(nproc)" --target plimo >&2
cd data
export PLIMO_COMMAND_NAME=$command_name
exec ../build-play/plimo window "$@"
