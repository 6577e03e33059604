#!/usr/bin/env bash
# The browser test as CI runs it: sets up what is missing (emscripten, chromium, the
# test's Node packages), builds the web version (build-web) and a desktop build for
# reference (build-webref), dumps the desktop's frames of the checksum scenes, measures
# the desktop game's CPU on its main menu, then plays the page in headless Chromium.
#   web/test/run.sh        PLIMO_WEB_BUILD_DIR / PLIMO_WEBREF_BUILD_DIR choose the folders
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"
web_build="${PLIMO_WEB_BUILD_DIR:-build-web}"
ref_build="${PLIMO_WEBREF_BUILD_DIR:-build-webref}"

tools/setup.sh --tests
web/setup.sh --test
# The public site, and the test's own variant with the game's hooks (site-test).
PLIMO_WEB_TARGETS="plimo_site plimo_test_site" web/build.sh "$web_build" -DPLIMO_WERROR=ON

# A desktop build that is there already (CI's first step) is used as it is configured.
if [ ! -f "$ref_build/CMakeCache.txt" ]; then
  cmake -S . -B "$ref_build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$ref_build" -j"$(nproc)" --target plimo plimo_tests >/dev/null
frames="$ref_build/frames"
rm -rf "$frames"
mkdir -p "$frames"
# Only the dumped frames are wanted here; whether the sums still match is the suite's check.
PLIMO_DUMP_FRAMES="$root/$frames" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
  "$ref_build/tests/plimo_tests" --gtest_filter='FrameChecksum.*' >/dev/null 2>&1 || true
for scene in splash language-pick-1 main-menu difficulty help game-over-menu; do
  [ -s "$frames/$scene.bmp" ] || { echo "the desktop build dumped no frame '$scene'" >&2; exit 1; }
done

# The desktop game's CPU on its main menu, measured as the browser's is (10 s, no key).
desktop_cpu="$(web/test/desktop_menu_cpu.sh "$ref_build/plimo" "$frames" 10)"

PLIMO_DESKTOP_MENU_CPU="$desktop_cpu" node web/test/browser_test.mjs --site "$web_build/site-test" --public "$web_build/site" --frames "$frames" --desktop "$ref_build/plimo" \
  --single "$web_build/plimo-test.html"

# The page's CPU against the floor page, a table printed for the log (a measurement, never
# a pass or fail of its own).
node web/test/browser_cpu.mjs --site "$web_build/site-test" --seconds 3 --game-seconds 20 --rounds 1
