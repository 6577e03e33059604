#!/usr/bin/env bash
# Installs Plimo into a staging folder and starts the installed launcher from elsewhere:
# it must find its data, keep running quietly, and end with status 0 when asked to quit;
# without a display and without a video driver named it must refuse in one line. Then
# builds the Debian package and checks it with lintian (tools/setup.sh --package installs
# dpkg-dev, file, lintian, desktop-file-utils and appstream first). A missing tool is a
# failure.
#
# Usage: tools/check_install.sh [build-dir]
# Without a build directory, configures and builds one in build-install (tests off).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
tools/setup.sh --package

build=${1:-}
if [ -z "$build" ]; then
  build=build-install
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DPLIMO_TESTS=OFF >/dev/null
fi
build=$(cd "$build" && pwd)
cmake --build "$build" -j2 >/dev/null

work=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -9 "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "check_install: FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "check_install: ok: $*"; }

stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 \
  || { cat "$work/install.log" >&2; fail "cmake --install"; exit 1; }
usr=$stage/usr
data=$usr/share/games/plimo

# The layout of a Debian game.
for f in games/plimo lib/games/plimo/plimo games/plimo-check-content; do
  [ -x "$usr/$f" ] || fail "$f is not an installed executable"
done
metainfo=share/metainfo/io.github.plimo.Plimo.metainfo.xml
for f in share/applications/plimo.desktop $metainfo share/man/man6/plimo.6.gz \
         share/man/man6/plimo-check-content.6.gz share/doc/plimo/copyright \
         share/doc/plimo/changelog.gz; do
  [ -f "$usr/$f" ] || fail "$f is not installed"
done
for size in 16 22 24 32 48 64 128 256; do
  icon=$usr/share/icons/hicolor/${size}x${size}/apps/plimo.png
  if [ ! -f "$icon" ]; then
    fail "no ${size}x${size} icon"
  else
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$icon" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $dims"
  fi
done
# Every file the game opens by name, then each language picture the content file names.
for f in plimo.xml font_32.bmp splash.bmp menubg.bmp help_plusminus.bmp help.bmp \
         ingame_neutral.bmp ingame_good.bmp ingame_bad.bmp menu.ogg ingame1.ogg \
         menuselect.wav menumove.wav failed.wav wrong.wav correct.wav cleared.wav typing.wav; do
  [ -f "$data/$f" ] || fail "data file $f is not installed"
done
if [ -f "$data/plimo.xml" ]; then
  for image in $(grep -o 'image="[^"]*"' "$data/plimo.xml" | sed 's/^image="//; s/"$//'); do
    [ -f "$data/$image" ] || fail "language picture $image is not installed"
  done
fi
for f in "$data"/*; do
  case $(basename "$f") in
    *.py | *.md | LICENSE* | icon.png) fail "generator or licence file $(basename "$f") installed as data" ;;
  esac
done
if ! command -v desktop-file-validate >/dev/null; then
  fail "desktop-file-validate is missing although tools/setup.sh --package ran"
else
  # Hints count too (such as two main categories, which list the game twice in a menu).
  validation=$(desktop-file-validate "$usr/share/applications/plimo.desktop" 2>&1) && [ -z "$validation" ] \
    || fail "desktop-file-validate: $validation"
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
head -n1 packaging/changelog | grep -q "^plimo ($version) " \
  || fail "packaging/changelog has no entry for version $version at the top"
# The software centres' view: the installed metainfo passes AppStream's own check (its
# warnings fail it too, infos do not), launches the installed desktop file, and its
# newest release is this version.
if ! command -v appstreamcli >/dev/null; then
  fail "appstreamcli is missing although tools/setup.sh --package ran"
elif [ -f "$usr/$metainfo" ]; then
  validation=$(appstreamcli validate --no-net --no-color "$usr/$metainfo" 2>&1) \
    && ! grep -q '^[EW]: ' <<<"$validation" || fail "appstreamcli validate: $validation"
  launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$usr/$metainfo")
  [ -f "$usr/share/applications/$launchable" ] || fail "the metainfo launches '$launchable', which is not installed"
  release=$(grep -o '<release version="[^"]*"' "$usr/$metainfo" | head -n1 | cut -d'"' -f2)
  [ "$release" = "$version" ] || fail "the metainfo's newest release is '$release', not $version"
  # What AppStream takes for granted when left out: the age rating, the pictures, and
  # the languages, one for each language picture of the content file.
  grep -q '<content_rating type="oars-1\.1"' "$usr/$metainfo" || fail "the metainfo has no OARS content rating"
  grep -q '<screenshot type="default">' "$usr/$metainfo" || fail "the metainfo has no default screenshot"
  for image in $(grep -ao 'image="lang_[a-z]*\.bmp"' "$data/plimo.xml" 2>/dev/null | sed 's/^image="lang_//; s/\.bmp"$//'); do
    grep -q ">$image</lang>" "$usr/$metainfo" || fail "the metainfo does not list the language $image"
  done
fi
if [ "$failures" -eq 0 ]; then pass "installed layout under $usr"; fi

# The installed checker on the installed data.
if (cd "$data" && "$usr/games/plimo-check-content" >"$work/check.out" 2>&1); then
  pass "plimo-check-content finds the installed content sound"
else
  cat "$work/check.out" >&2
  fail "plimo-check-content on the installed data"
fi

# The launcher, started from a folder without data, reached through a symlink as a user
# might put it on the PATH: it runs the real game from the data folder.
elsewhere=$work/elsewhere
mkdir -p "$elsewhere"
ln -s "$usr/games/plimo" "$work/plimo-link"
cd "$elsewhere"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$work/plimo-link" window \
  >"$work/game.out" 2>"$work/game.err" &
pid=$!
sleep 3
if kill -0 "$pid" 2>/dev/null; then
  pass "the game keeps running after 3 s"
  [ "$(readlink "/proc/$pid/cwd")" = "$data" ] || fail "the game runs in $(readlink "/proc/$pid/cwd"), not in $data"
  [ "$(readlink "/proc/$pid/exe")" = "$usr/lib/games/plimo/plimo" ] \
    || fail "the launcher did not exec the game (process is $(readlink "/proc/$pid/exe"))"
  args=$(tr '\0' '\n' <"/proc/$pid/cmdline" | sed 1d)
  [ "$args" = window ] || fail "the game got the arguments '$args' instead of the launcher's 'window'"
  # SDL turns SIGTERM into a quit event: a normal end, with status 0.
  kill -TERM "$pid"
  status=0
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    fail "the game did not end within 5 s of SIGTERM"
  else
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "the game ended with status $status after SIGTERM"
  fi
else
  status=0
  wait "$pid" || status=$?
  fail "the game ended within 3 s with status $status"
fi
pid=""
# Every command of the desktop entry and its actions holds only words the game takes
# (with --help after them it lists the options and ends instead of playing).
while IFS= read -r line; do
  read -r -a words <<<"${line#Exec=plimo}"
  status=0
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$usr/games/plimo" "${words[@]}" --help \
    >/dev/null 2>"$work/action.err" || status=$?
  [ "$status" -eq 0 ] || fail "the desktop entry's $line is refused: $(cat "$work/action.err")"
done < <(grep '^Exec=' "$usr/share/applications/plimo.desktop")
cd "$repo"
if [ -s "$work/game.out" ] || [ -s "$work/game.err" ]; then
  fail "the game printed something:"
  cat "$work/game.out" "$work/game.err" >&2
fi

# Without a display: started as a user in a terminal without X would start it, with
# nothing named, the game refuses in one line instead of drawing in the terminal.
status=0
(cd "$elsewhere" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER TERM=xterm \
  SDL_FBDEV=/nonexistent/fb0 SDL_AUDIODRIVER=dummy timeout 60 "$usr/games/plimo" window \
  </dev/null >"$work/nodisplay.out" 2>"$work/nodisplay.err") || status=$?
nodisplay="no display: set DISPLAY or run from a graphical session"
if [ "$status" -eq 1 ] && [ "$(cat "$work/nodisplay.err")" = "$nodisplay" ] && [ ! -s "$work/nodisplay.out" ]; then
  pass "without a display the installed game refuses: $nodisplay"
else
  cat "$work/nodisplay.out" "$work/nodisplay.err" >&2
  fail "without a display the installed game ended with status $status instead of refusing in one line"
fi

# The Debian package, with its dependencies worked out by dpkg-shlibdeps, checked by lintian.
for tool in dpkg-shlibdeps file lintian; do
  command -v "$tool" >/dev/null || fail "$tool is missing although tools/setup.sh --package ran"
done
if [ "$failures" -eq 0 ]; then
  before=$failures
  if cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1; then
    deb=$(ls "$work"/pkg/plimo_*.deb)
    depends=$(dpkg-deb -f "$deb" Depends)
    for lib in libsdl1.2debian libsdl-mixer1.2 libtinyxml2.6.2v5; do
      case ", $depends" in *", $lib "* | *", $lib,"* | *", $lib") ;; *) fail "the package does not depend on $lib: $depends" ;; esac
    done
    [ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "the package is not in section games"
    dpkg-deb -c "$deb" >"$work/contents.txt"
    grep -q ' \./usr/games/plimo$' "$work/contents.txt" || fail "the package has no /usr/games/plimo"
    grep -q " \./usr/$metainfo\$" "$work/contents.txt" || fail "the package has no /usr/$metainfo"
    # lintian ends with status 1 when it reports errors, 2 and above when it could not
    # check the package at all.
    status=0
    lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
      cat "$work/lintian.log" >&2
      fail "lintian ended with status $status"
    fi
    if [ "$failures" -eq "$before" ]; then
      pass "package $(basename "$deb"), Depends: $depends; lintian: $(grep -c '^E: ' "$work/lintian.log") errors, $(grep -c '^W: ' "$work/lintian.log") warnings"
    fi
  else
    cat "$work/cpack.log" >&2
    fail "cpack -G DEB"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "check_install: $failures check(s) failed" >&2
  exit 1
fi
echo "check_install: the installed game starts from anywhere and finds its data"
