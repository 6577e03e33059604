#!/usr/bin/env bash
# Sets up what is missing, builds Plimo and starts it in a 640x480 window from its data
# folder. Pass --fullscreen to play full screen instead.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target plimo >/dev/null
cd data
if [ "${1:-}" = "--fullscreen" ]; then
  exec ../build/plimo
fi
exec ../build/plimo window
