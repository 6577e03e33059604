#!/usr/bin/env bash
# Builds the browser version with Debian's emscripten into <build-dir>/site (default
# build-web): the page, plimo.js, plimo.wasm, the packed data plimo.data, the manifest,
# icons and service worker. TinyXML's Debian source is fetched into <build-dir>/tinyxml
# the first time. Shows the build's progress ("[ 42%] ..." lines); extra arguments go to
# CMake. PLIMO_WEB_TARGETS names other targets (the browser test's: plimo_site
# plimo_test_site, which also builds <build-dir>/site-test with the test's hooks).
#   web/build.sh [build-dir] [cmake options...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build-web}"
shift || true
# Emscripten's JavaScript optimiser needs Debian's acorn module, which a Node.js other
# than Debian's own (NodeSource's) does not look for in Debian's module folder.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
cd "$root"
echo "Configuring the browser build in $build" >&2
# emcmake says its cmake command line on standard error; only real complaints are shown.
emcmake cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DPLIMO_TESTS=OFF "$@" 2>&1 >/dev/null |
  { grep -v '^configure: ' || true; } >&2
# Make's progress lines only (the first build compiles emscripten's own libraries too);
# warnings and errors still reach standard error.
# shellcheck disable=SC2086 # a list of target names
cmake --build "$build" --target ${PLIMO_WEB_TARGETS:-plimo_site} -j"$(nproc)" |
  { grep --line-buffered -E '^\[ *[0-9]+%\] (Building|Linking)' || true; } |
  sed -u -E 's/^\[ *([0-9]+%)\] (Building|Linking) [A-Za-z+ ]*(object|executable|library) ([^ ]*\/)?/  \1 \2 /' >&2
echo "Built $build/site" >&2
