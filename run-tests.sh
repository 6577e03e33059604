#!/usr/bin/env bash
# Sets up what is missing, builds Plimo with its tests and runs every test.
# Extra arguments are passed to CMake (CI passes -DPLIMO_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh --tests
# build/ by default (play.sh builds the game alone in build-play/).
build=${PLIMO_BUILD_DIR:-build}
cmake -S . -B "$build" "$@" >/dev/null
tools/build.sh "$build" -j"$(nproc)"
cd "$build"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ctest --output-on-failure -j"$(nproc)"
