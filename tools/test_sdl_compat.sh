#!/usr/bin/env bash
# Builds Plimo and runs its whole test suite against the other SDL 1.2 that Debian ships:
# sdl12-compat (libsdl1.2-compat, SDL 1.2's interface over SDL 2), without touching the
# classic libsdl1.2-dev that the set-up installs. The compat packages are unpacked into
# the build folder and found first through pkg-config and the library path; SDL_mixer,
# built against libSDL-1.2.so.0, then loads the compat library too.
#
# Usage: tools/test_sdl_compat.sh [--sanitize] [extra CMake arguments]
# Builds in build-sdl-compat (build-sdl-compat-asan with --sanitize), or in
# $PLIMO_COMPAT_BUILD_DIR when set.
set -euo pipefail
cd "$(dirname "$0")/.."
export DEBIAN_FRONTEND=noninteractive

sanitize=0
if [ "${1:-}" = "--sanitize" ]; then
  sanitize=1
  shift
fi
build=build-sdl-compat
[ "$sanitize" = 1 ] && build=build-sdl-compat-asan
build=${PLIMO_COMPAT_BUILD_DIR:-$build}

tools/setup.sh --tests
root="$PWD/$build/sdl12-compat"
libdir=$(tools/unpack_sdl_compat.sh "$root")

export PKG_CONFIG_PATH="$libdir/pkgconfig${PKG_CONFIG_PATH:+:$PKG_CONFIG_PATH}"
export LD_LIBRARY_PATH="$libdir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
echo "== building against $(pkg-config --modversion sdl) ($(pkg-config --variable=libdir sdl))"

cmake_args=(-DPLIMO_WERROR=ON)
if [ "$sanitize" = 1 ]; then
  cmake_args+=(-DPLIMO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
  # SDL 2 and its X11 back end keep allocations for the life of the process, as SDL 1.2 does;
  # so does Mesa's software GL driver when OpenGL presents (SDL_RENDER_DRIVER=opengl). When
  # SDL 2 unloads the driver before the leak check, its frames cannot be named and no
  # suppression matches: the game's default software renderer loads no GL at all.
  supp="$PWD/$build/lsan.supp"
  { cat tests/lsan.supp; printf 'leak:libSDL2-2.0.so\nleak:libxcb\nleak:libdbus\n'
    printf 'leak:swrast_dri.so\nleak:libgallium\nleak:libGLX_mesa.so\nleak:libglapi.so\nleak:libLLVM\n'; } >"$supp"
  export LSAN_OPTIONS="suppressions=$supp"
fi
# The compat headers come first, before the classic ones that SDL_mixer's flags name.
cmake -S . -B "$build" "${cmake_args[@]}" -DCMAKE_CXX_FLAGS="-I$root/usr/include/SDL" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"

# Make sure the game really runs on the compat library, not the classic one.
loaded=$(ldd "$build/plimo" | awk '/libSDL-1.2.so.0/ { print $3 }')
case "$(readlink -f "$loaded")" in
  "$libdir"/sdl12-compat/*) echo "== plimo loads $(readlink -f "$loaded")" ;;
  *) echo "plimo would load $loaded, not the compat library" >&2; exit 1 ;;
esac

cd "$build"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ctest --output-on-failure -j"$(nproc)"
