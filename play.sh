#!/usr/bin/env bash
# Sets up what is missing, builds Plimo (Release, in build-play/) and starts it in a
# 640x480 window from its data folder, with the game's options passed on (see
# ./build-play/plimo --help); --fullscreen among them plays full screen instead, with the
# other options kept.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
# Its own build folder: the tests build in build/ with another build type, and sharing
# one would rebuild everything at each switch.
cmake -S . -B build-play -DCMAKE_BUILD_TYPE=Release -DPLIMO_TESTS=OFF >/dev/null
tools/build.sh build-play -j"$(nproc)" --target plimo
cd data
exec ../build-play/plimo window "$@"
