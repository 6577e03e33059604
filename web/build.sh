#!/usr/bin/env bash
# Builds the browser version with Debian's emscripten into <build-dir>/site (default
# build-web): the page, plimo.js, plimo.wasm and plimo.data. TinyXML's Debian source is
# fetched into <build-dir>/tinyxml the first time. Extra arguments go to CMake.
#   web/build.sh [build-dir] [cmake options...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build-web}"
shift || true
# Emscripten's JavaScript optimiser needs Debian's acorn module, which a Node.js other
# than Debian's own (NodeSource's) does not look for in Debian's module folder.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
cd "$root"
# emcmake says its cmake command line on standard error; only real complaints are shown.
emcmake cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DPLIMO_TESTS=OFF "$@" 2>&1 >/dev/null |
  { grep -v '^configure: ' || true; } >&2
cmake --build "$build" --target plimo -j"$(nproc)" >/dev/null
