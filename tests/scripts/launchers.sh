#!/usr/bin/env bash
# shellcheck disable=SC2016 # the stand-ins' code is expanded when they run, not here
# The newcomer's scripts with their tools stood in for: set-up as a user whom sudo does
# not let in (or who has no sudo) ends with one line naming the apt-get command for an
# administrator and status 1, installing nothing; ./play.sh and ./play-web.sh keep their
# standard output for the game (or the server) alone, and ./play.sh names itself to the
# game.
#
# Usage: tests/scripts/launchers.sh SOURCE_DIR
set -euo pipefail
src=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # what expected actual
  if [ "$2" != "$3" ]; then
    printf 'FAIL: %s\n  expected: %s\n  got:      %s\n' "$1" "$2" "$3" >&2
    failures=$((failures + 1))
  fi
}

# Stand-ins: an ordinary user (uid 1000) on a machine where nothing is installed; sudo
# that wants a password and then refuses; apt-get that leaves a mark if it is ever run.
stubs=$work/stubs
mkdir -p "$stubs"
stub() { printf '#!/bin/bash\n%s\n' "$2" >"$stubs/$1" && chmod +x "$stubs/$1"; }
stub id 'case $1 in -u) echo 1000 ;; -un) echo pupil ;; *) echo "uid=1000(pupil)" ;; esac'
stub dpkg-query 'exit 1'
stub sudo 'case $1 in -n) exit 1 ;; -v) echo "Sorry, user pupil may not run sudo on school." >&2; exit 1 ;; esac; exit 1'
stub apt-get "touch '$work/apt-get-ran'"
# The tools the set-up scripts use besides the stand-ins, so that a PATH of these alone
# has no sudo.
for tool in dirname grep cat mktemp rm; do ln -s "$(command -v "$tool")" "$stubs/$tool"; done

ask="ask an administrator to run (as root): apt-get install"
tools_packages="g++ cmake make pkg-config libsdl1.2-dev libsdl-mixer1.2-dev libtinyxml-dev"
web_packages="cmake make dpkg-dev emscripten python3"
for script in tools/setup.sh web/setup.sh; do
  packages=$tools_packages
  [ "$script" = web/setup.sh ] && packages=$web_packages
  for case in refused no-sudo; do
    path=$stubs
    if [ "$case" = no-sudo ]; then
      path=$work/no-sudo
      mkdir -p "$path"
      for f in "$stubs"/*; do [ "$(basename "$f")" = sudo ] || ln -sf "$f" "$path/"; done
      said="$script: installing needs root, and there is no sudo here; $ask $packages"
    else
      said="$script: sudo did not let pupil install packages; $ask $packages"
    fi
    rm -f "$work/apt-get-ran"
    status=0
    PATH=$path /bin/bash "$src/$script" </dev/null >"$work/out" 2>"$work/err" || status=$?
    check "$script ($case): status" 1 "$status"
    check "$script ($case): its last line" "$said" "$(tail -n1 "$work/err")"
    check "$script ($case): standard output" "" "$(cat "$work/out")"
    check "$script ($case): apt-get not run" no "$([ -e "$work/apt-get-ran" ] && echo yes || echo no)"
  done
done

# A checkout whose set-up and build say what they do on standard output, and whose game
# and server say what they were given.
checkout=$work/checkout
mkdir -p "$checkout/tools" "$checkout/web" "$checkout/data" "$checkout/build-play"
cp "$src/play.sh" "$src/play-web.sh" "$checkout/"
printf '#!/bin/bash\necho "setting up"\n' >"$checkout/tools/setup.sh"
printf '#!/bin/bash\necho "setting up"\n' >"$checkout/web/setup.sh"
printf '#!/bin/bash\necho "[ 94%%] Built target plimo"\necho "build-play: built in 3 s"\n' >"$checkout/tools/build.sh"
printf '#!/bin/bash\necho "[ 94%%] Building CXX object"\n' >"$checkout/web/build.sh"
printf '#!/bin/bash\necho "game in ${PWD##*/} as $PLIMO_COMMAND_NAME: $*"\n' >"$checkout/build-play/plimo"
chmod +x "$checkout"/tools/*.sh "$checkout"/web/*.sh "$checkout/build-play/plimo"
stub cmake 'echo "-- Configuring done"'
stub python3 'echo "server: $*"'

(cd "$checkout" && PATH=$stubs:$PATH ./play.sh --progress >"$work/out" 2>"$work/err")
check "./play.sh --progress: standard output" "game in data as ./play.sh: window --progress" "$(cat "$work/out")"
check "./play.sh --progress: standard error" "setting up|[ 94%] Built target plimo|build-play: built in 3 s" \
  "$(paste -sd'|' "$work/err")"
(cd "$work" && PATH=$stubs:$PATH checkout/play.sh --help >"$work/out" 2>/dev/null)
check "checkout/play.sh: its name" "game in data as checkout/play.sh: window --help" "$(cat "$work/out")"
(cd "$checkout" && PATH=$stubs:$PATH bash play.sh >"$work/out" 2>/dev/null)
check "bash play.sh: its name" "game in data as ./play.sh: window" "$(cat "$work/out")"
(cd "$checkout" && PATH=$stubs:$PATH PORT=8123 ./play-web.sh >"$work/out" 2>/dev/null)
check "./play-web.sh: standard output" "server: web/serve.py build-web/site 8123" "$(cat "$work/out")"

if [ "$failures" -ne 0 ]; then
  echo "launchers: $failures check(s) failed" >&2
  exit 1
fi
echo "launchers: set-up refusals, standard output and the command's name as expected"
