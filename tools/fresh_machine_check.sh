#!/usr/bin/env bash
# Follows the README on a freshly made Debian 12 as a newcomer would: a minimal root made
# with debootstrap from this machine's own apt sources, without a sound device; a user
# made with adduser (a home only that user may enter) whose sudo asks for a password; the
# checkout cloned into that home; and as that user, each on a terminal of its own, exactly
# the README's commands: ./play.sh to a 640x480 window, quit with Escape on the language
# screen, then again (up within seconds, nothing set up or rebuilt), ./play.sh --practice,
# ./play.sh --help, a misspelt option, ./play.sh --fullscreen to the whole screen;
# ./run-tests.sh; the package section, taken from the README as it stands, to an
# installed package whose game starts, then removed; and ./play-web.sh to a served page
# whose canvas a headless Chromium (installed in the root afterwards, with
# web/setup.sh --test) shows the splash on.
#
# The terminal (tools/fresh_terminal.py) types the password when sudo asks and "y" when
# apt asks. Every line a command shows must be one of the few expected of it (set-up and
# build progress, the password prompt, the game's one "no sound" line, which a game
# started here must show); anything else, a warning or a leftover, fails the step. Each
# step's time and the lines it showed are printed; the first step that fails ends the
# check with its lines.
#
# Usage: sudo tools/fresh_machine_check.sh   (root: debootstrap, chroot and mounts)
#   PLIMO_FRESH_CACHE=<dir>   keeps the bare root as a tarball between runs (default
#                             /var/cache/plimo-fresh; a missing or stale one is remade)
#   PLIMO_FRESH_TEST_ENV="CXXFLAGS=-Werror"   environment for ./run-tests.sh only (CMake
#                             takes CXXFLAGS at the first configure; CI uses this)
#   PLIMO_FRESH_THEN=<lines>  more commands run afterwards as the user in the clone, one
#                             step per line (CI's checks that reuse these builds)
#   PLIMO_FRESH_KEEP=1        keeps the root and logs in the work folder afterwards
#   PLIMO_FRESH_SKIP_TESTS=1  leaves out ./run-tests.sh (while working on the later steps)
# Commits only: the clone is of the checkout's HEAD.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -ne 0 ]; then
  exec sudo --preserve-env=PLIMO_FRESH_CACHE,PLIMO_FRESH_TEST_ENV,PLIMO_FRESH_THEN,PLIMO_FRESH_KEEP,PLIMO_FRESH_SKIP_TESTS,NODE_EXTRA_CA_CERTS,CI "$0" "$@"
fi
export DEBIAN_FRONTEND=noninteractive
suite=bookworm
user=player
cache=${PLIMO_FRESH_CACHE:-/var/cache/plimo-fresh}
work=$(mktemp -d /var/tmp/plimo-fresh.XXXXXX)
root=$work/root
home=/home/$user
logs=$work/logs
mkdir -p "$root" "$logs"

# ------------------------------------------------------------------ cleaning up

mounts=()      # mount points in the root, unmounted last first
terminals=()   # terminals started here (each ends its command's session on TERM)
xvfb_pid=""
cleanup() {
  local status=$? i
  for i in "${terminals[@]}"; do kill -TERM "$i" 2>/dev/null || true; done
  for i in "${terminals[@]}"; do wait "$i" 2>/dev/null || true; done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  sleep 0.5
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount -R "${mounts[$i]}" 2>/dev/null || umount -R -l "${mounts[$i]}" 2>/dev/null || true
  done
  # Never remove a folder that still has something mounted under it (/dev, /proc).
  if findmnt -rno TARGET | grep -q "^$work/"; then
    echo "fresh: mounts remain under $work; it is left in place" >&2
  elif [ "${PLIMO_FRESH_KEEP:-0}" = 1 ] || [ "$status" -ne 0 ]; then
    echo "fresh: logs in $logs" >&2
    [ "${PLIMO_FRESH_KEEP:-0}" = 1 ] || rm -rf "$root"
  else
    rm -rf "$work"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# ------------------------------------------------------------------ reporting

started_at=$SECONDS
report=()
step_name=""
step_start=0
begin() { step_name=$1; step_start=$SECONDS; echo "== fresh: $step_name"; }
done_step() {
  local took=$((SECONDS - step_start))
  report+=("$(printf '%-52s %4d s' "$step_name" "$took")")
  echo "   ok in $took s${1:+ ($1)}"
}
fail() { # message [log]
  echo "FAIL: $step_name (after $((SECONDS - step_start)) s): $1" >&2
  [ -n "${2:-}" ] && [ -f "$2" ] && tail -n 60 "$2" >&2
  summary
  exit 1
}
summary() {
  echo "== fresh machine check: each step"
  printf '   %s\n' "${report[@]}"
  echo "   total $((SECONDS - started_at)) s"
}

# Waits until the command succeeds: wait_until seconds what command...
wait_until() {
  local deadline=$((SECONDS + $1)) what=$2
  shift 2
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 1
  done
}

# ------------------------------------------------------------------ the host's tools

begin "tools on this machine (debootstrap, Xvfb, xdotool, xwininfo, curl, python3)"
need=()
for p in debootstrap xvfb xdotool x11-utils curl python3; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  apt-get -o DPkg::Lock::Timeout=900 update -qq >"$logs/host-apt.log" 2>&1
  apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${need[@]}" \
    >>"$logs/host-apt.log" 2>&1 || fail "apt-get install ${need[*]}" "$logs/host-apt.log"
fi
done_step

# ------------------------------------------------------------------ the bare root

# The Debian archive this machine installs from (deb822 .sources or one-line lists).
mirror=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
  awk -v s="$suite" 'tolower($1) == "uris:" { u = $2 } tolower($1) == "suites:" { for (i = 2; i <= NF; i++) if ($i == s) { print u; exit } }')
if [ -z "$mirror" ]; then
  mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    awk -v s="$suite" '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i == s) { print $(i - 1); exit } }')
fi
[ -n "$mirror" ] || { echo "fresh: no '$suite' entry in /etc/apt/sources.list*" >&2; exit 1; }
# What every Debian 12 installation has beyond the minimal base and the newcomer's path
# needs: apt-utils and whiptail (without them apt's installs say that they delay
# configuration, and that debconf falls back from its dialog to reading lines).
includes=ca-certificates,git,sudo,adduser,apt-utils,whiptail
key=$(printf '%s %s %s minbase' "$suite" "$mirror" "$includes" | sha1sum | cut -c1-12)
tarball=$cache/debian-$suite-minbase-$key.tar.gz

begin "bare Debian $suite root"
if [ -f "$tarball" ] && [ -n "$(find "$tarball" -mtime -14 2>/dev/null)" ] &&
   tar -xzf "$tarball" -C "$root" 2>"$logs/untar.log" && chmod 755 "$root"; then
  done_step "from the cache $tarball"
else
  rm -rf "$root" && mkdir -p "$root"
  debootstrap --variant=minbase --include="$includes" "$suite" "$root" "$mirror" \
    >"$logs/debootstrap.log" 2>&1 || fail "debootstrap from $mirror" "$logs/debootstrap.log"
  rm -rf "$root"/var/cache/apt/archives/*.deb
  if mkdir -p "$cache" 2>/dev/null && tar -czf "$tarball.part" -C "$root" . 2>/dev/null; then
    mv "$tarball.part" "$tarball"
    find "$cache" -name 'debian-*.tar.gz' ! -name "$(basename "$tarball")" -delete
  else
    rm -f "$tarball.part"
  fi
  done_step "debootstrap from $mirror"
fi

# ------------------------------------------------------------------ the newcomer's machine

begin "user $user (adduser, sudo with a password), the checkout cloned into $home"
# The same Debian sources as this machine (its other vendors' lists stay out), and its
# name service.
rm -f "$root"/etc/apt/sources.list "$root"/etc/apt/sources.list.d/*
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] && grep -q 'debian' "$f" && grep -qw "$suite" "$f" && cp "$f" "$root/etc/apt/sources.list.d/$(basename "$f")"
done
[ -f "$root/etc/apt/sources.list.d/sources.list" ] && mv "$root/etc/apt/sources.list.d/sources.list" "$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp /etc/hosts "$root/etc/hosts"
# The certificate authorities this machine adds to Debian's (a network that inspects TLS
# has its own), so that HTTPS (npm's registry) works in the root as it does here.
if ls /usr/local/share/ca-certificates/*.crt >/dev/null 2>&1; then
  mkdir -p "$root/usr/local/share/ca-certificates"
  cp /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/"
  chroot "$root" update-ca-certificates >"$logs/ca.log" 2>&1 || fail "update-ca-certificates" "$logs/ca.log"
fi
hostname >"$root/etc/hostname"
# As a newcomer's account is made: adduser, whose home only its user may enter (apt's own
# user cannot read a package there), and sudo that asks for the user's password.
chroot "$root" adduser --disabled-password --comment "" "$user" >"$logs/adduser.log" 2>&1 ||
  fail "adduser $user" "$logs/adduser.log"
chroot "$root" adduser "$user" sudo >>"$logs/adduser.log" 2>&1 || fail "adduser $user sudo" "$logs/adduser.log"
password=$(od -An -N9 -tx1 /dev/urandom | tr -d ' \n')
echo "$user:$password" | chroot "$root" chpasswd
[ "$(stat -c %a "$root$home")" = 700 ] || fail "adduser made $home with mode $(stat -c %a "$root$home"), not 700"
head=$(git -C "$repo" log -1 --format="%h %s" | cut -c1-60)
git clone -q "$repo" "$root$home/plimo"
chroot "$root" chown -R "$user:$user" "$home/plimo"

mount_in() { # source target [options...]
  if [ -e "$1" ] && [ ! -d "$1" ]; then touch "$root$2"; else mkdir -p "$root$2"; fi
  mount "${@:3}" "$1" "$root$2"
  mounts+=("$root$2")
}
# Downloaded packages are kept between runs beside the bare root (not the installed
# ones: each run installs everything again).
archives=""
if mkdir -p "$cache/archives" 2>/dev/null; then
  archives=$cache/archives
  mount_in "$archives" /var/cache/apt/archives --bind
fi
mount_in proc /proc -t proc
mount_in /sys /sys --rbind
mount --make-rslave "$root/sys"
# A /dev of its own without a sound device (a virtual machine without a sound card); the
# terminals are this machine's, so that the commands' terminal is there too.
mount_in devices /dev -t tmpfs -o mode=755,nosuid
for node in "null 1 3" "zero 1 5" "full 1 7" "random 1 8" "urandom 1 9" "tty 5 0" "ptmx 5 2"; do
  read -r name major minor <<<"$node"
  mknod -m 666 "$root/dev/$name" c "$major" "$minor"
done
ln -s /proc/self/fd "$root/dev/fd"
ln -s /proc/self/fd/0 "$root/dev/stdin"
ln -s /proc/self/fd/1 "$root/dev/stdout"
ln -s /proc/self/fd/2 "$root/dev/stderr"
mount_in /dev/pts /dev/pts --bind
mount_in shm /dev/shm -t tmpfs -o mode=1777,nosuid,nodev
[ ! -e "$root/dev/snd" ] || fail "the root has a sound device"
chmod 1777 "$root/tmp"
done_step "$head; $(ls "$archives" 2>/dev/null | grep -c '\.deb$' || true) packages already downloaded"

# Runs a command line in the clone as the user, in a login-like environment, its output
# into a log (the steps that are not the README's: the browser's test tools, CI's checks).
user_env=(env -i HOME="$home" USER="$user" LOGNAME="$user" SHELL=/bin/bash
  PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games LANG=C.UTF-8)
as_user() { # log command-line [VAR=value...]
  local log=$1 line=$2
  shift 2
  chroot "$root" /usr/sbin/runuser -u "$user" -- "${user_env[@]}" TERM=dumb \
    ${NODE_EXTRA_CA_CERTS:+NODE_EXTRA_CA_CERTS="$NODE_EXTRA_CA_CERTS"} "$@" \
    bash -c "cd ~/plimo && $line" >"$log" 2>&1
}

# The README's commands run on a terminal of their own (80x24, as a terminal window
# opens), typed in the clone; the terminal keeps what they show in a record and types the
# password when sudo asks for it, and Ctrl+C when the command is to end. The user's
# shell is the terminal's session itself (setpriv, where runuser would stay between them
# and speak of the session's end). terminal replaces the calling shell; on_terminal
# waits for the command, start_on_terminal leaves it running (started_pid).
python=$(command -v /usr/bin/python3 python3 | head -n1)
terminal() { # record command-line [VAR=value...]
  local record=$1 line=$2
  shift 2
  PLIMO_FRESH_PASSWORD=$password exec "$python" "$repo/tools/fresh_terminal.py" run "$record" \
    chroot "$root" /usr/bin/setpriv --reuid="$user" --regid="$user" --init-groups \
    "${user_env[@]}" TERM=xterm-256color \
    ${NODE_EXTRA_CA_CERTS:+NODE_EXTRA_CA_CERTS="$NODE_EXTRA_CA_CERTS"} "$@" \
    bash -c "cd ~/plimo && $line"
}
on_terminal() { (terminal "$@"); }
start_on_terminal() {
  terminal "$@" &
  started_pid=$!
  terminals+=("$started_pid")
}
# The lines a record shows, for a failure's report.
shown() { "$python" "$repo/tools/fresh_terminal.py" lines "$1" >"$1.txt" 2>&1; echo "$1.txt"; }
# Checks what a step showed against the lines expected of it, printing what it saw:
# expect record [--allow REGEX | --allow-file FILE | --require REGEX]...
expect() {
  local record=$1
  "$python" "$repo/tools/fresh_terminal.py" check "$@" >"$record.seen" 2>&1 && cat "$record.seen" && return
  fail "lines other than the expected ones" "$record.seen"
}
passwords() { echo "password typed $(cat "$1.passwords" 2>/dev/null || echo 0) times"; }

# What setting up may show: what it installs, sudo's password prompt, apt's progress on
# one line, the time it took; and the build's progress line.
setup_lines=(
  --allow 'Installing: [a-z0-9.+ -]+'
  --allow '\[sudo\] password for player(, to install them)?: *'
  --allow '(package lists|installing)(: +[0-9]+% .*)?'
  --allow 'Installed in [0-9]+ s'
)
build_lines=(--allow 'build(-[a-z]+)?: \[ *[0-9]+%\] .*' --allow 'build(-[a-z]+)?: built in [0-9]+ s')
# The game here has no sound device, and says so once.
no_sound=(--require 'no sound: cannot open the audio device')

# A virtual X server on this machine; its socket alone is shared into the root (the
# root's own X servers, the tests', keep theirs apart).
mkdir -p /tmp/.X11-unix "$root/tmp/.X11-unix"
chmod 1777 "$root/tmp/.X11-unix"
exec {display_fd}>"$logs/display"
Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp -noreset >"$logs/xvfb.log" 2>&1 &
xvfb_pid=$!
exec {display_fd}>&-
wait_until 60 "Xvfb" grep -q '^[0-9]' "$logs/display" || { cat "$logs/xvfb.log" >&2; exit 1; }
display=":$(head -n1 "$logs/display")"
screen_size=1024x768
mount_in "/tmp/.X11-unix/X${display#:}" "/tmp/.X11-unix/X${display#:}" --bind

# The size of the largest window shown on the display ("640x480"), empty when none is:
# only the game draws there, and a window is told from the full screen by it.
shown_size() {
  local w
  for w in $(DISPLAY=$display xwininfo -root -children 2>/dev/null | awk '/^ +0x/ { print $1 }'); do
    DISPLAY=$display xwininfo -id "$w" 2>/dev/null |
      awk '/Map State:/ { m = $3 } /^ +Width:/ { x = $2 } /^ +Height:/ { y = $2 }
           END { if (m == "IsViewable") print x * y, x "x" y }'
  done | sort -n | tail -n1 | cut -d' ' -f2
}
# Escape on the language screen ends the game, which comes after the two-second splash.
# The window is given the keyboard first (no window manager runs here), and Escape is
# pressed every two seconds until the game has ended: one pressed while the game still
# loads or shows the splash is not the language screen's.
quit_game() { # pid
  local win deadline=$((SECONDS + 120))
  win=$(DISPLAY=$display xdotool search --onlyvisible --name '^Plimo$' | head -n1)
  [ -n "$win" ] && DISPLAY=$display xdotool windowfocus --sync "$win"
  while kill -0 "$1" 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    DISPLAY=$display xdotool key Escape 2>/dev/null || true
    sleep 2
  done
}

# Seconds since a time from date +%s.%N: since time [decimals]
since() { awk -v a="$1" -v b="$(date +%s.%N)" -v d="${2:-0}" 'BEGIN { printf "%.*f\n", d, b - a }'; }
# Starts a game on a terminal, waits for what it shows, checks its size, quits it with
# Escape and checks its status and its lines:
# game_step record command-line size seconds-allowed [expected lines...]
# up_in is the time from the command to the game on the screen.
game_step() {
  local record=$1 line=$2 size=$3 allowed=$4 pid started size_shown status=0
  shift 4
  started=$(date +%s.%N)
  start_on_terminal "$record" "$line" DISPLAY="$display"
  pid=$started_pid
  until [ -n "$(shown_size)" ] || ! kill -0 "$pid" 2>/dev/null; do
    [ "$(since "$started")" -lt "$allowed" ] || fail "nothing shown within $allowed s" "$(shown "$record")"
    sleep 0.2
  done
  up_in=$(since "$started" 1)
  # A full screen may be drawn a moment after the game's first window: a few seconds for
  # the size asked for (a window never grows to the screen's).
  local shown_at=$SECONDS
  size_shown=$(shown_size)
  while [ "$size_shown" != "$size" ] && [ $((SECONDS - shown_at)) -lt 5 ] && kill -0 "$pid" 2>/dev/null; do
    sleep 0.2
    size_shown=$(shown_size)
  done
  [ -n "$size_shown" ] || { wait "$pid" || status=$?; fail "ended with status $status before anything was shown" "$(shown "$record")"; }
  [ "$size_shown" = "$size" ] || fail "shows ${size_shown}, not $size" "$(shown "$record")"
  quit_game "$pid" || fail "the game did not end after Escape on the language screen" "$(shown "$record")"
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "ended with status $status" "$(shown "$record")"
  expect "$record" "$@"
}

# ------------------------------------------------------------------ ./play.sh

begin "./play.sh (sets up, builds, a 640x480 window)"
game_step "$logs/play.rec" ./play.sh 640x480 1800 "${setup_lines[@]}" "${build_lines[@]}" "${no_sound[@]}"
done_step "up in $up_in s; $(passwords "$logs/play.rec")"

begin "./play.sh again (up within seconds, nothing rebuilt)"
# The build's progress line may flash its "Built target" steps; nothing is compiled or
# linked again, and nothing is set up.
up_to_date=(--allow 'build-play: \[ *[0-9]+%\] Built target [a-z_]+')
game_step "$logs/play-again.rec" ./play.sh 640x480 60 "${up_to_date[@]}" "${no_sound[@]}"
awk -v t="$up_in" 'BEGIN { exit !(t <= 15) }' || fail "up only after $up_in s" "$(shown "$logs/play-again.rec")"
done_step "up in $up_in s"

begin "./play.sh --practice (a 640x480 window)"
game_step "$logs/practice.rec" "./play.sh --practice" 640x480 60 "${up_to_date[@]}" "${no_sound[@]}"
done_step "up in $up_in s"

begin "./play.sh --help (the options, and nothing else)"
on_terminal "$logs/help.rec" "./play.sh --help" || fail "ended with status $?" "$(shown "$logs/help.rec")"
# The game's own words, as it prints them into a file.
as_user "$logs/help.txt" "cd data && PLIMO_COMMAND_NAME=./play.sh ../build-play/plimo --help" || fail "plimo --help into a file failed" "$logs/help.txt"
expect "$logs/help.rec" "${up_to_date[@]}" --require 'Usage: \./play\.sh \[OPTION\]\.\.\.' --require '  --practice +all the practice settings above.*' \
  --require '  --fullscreen +.*' --allow-file "$logs/help.txt"
done_step

begin "./play.sh --gentel (a misspelt option: named, status 2, no window)"
status=0
on_terminal "$logs/misspelt.rec" "./play.sh --gentel" DISPLAY="$display" || status=$?
[ "$status" -eq 2 ] || fail "ended with status $status, not 2" "$(shown "$logs/misspelt.rec")"
expect "$logs/misspelt.rec" "${up_to_date[@]}" --require '--gentel: unknown option \(\./play\.sh --help lists the options\)'
done_step

begin "./play.sh --progress > file (the game's lines alone in the file)"
on_terminal "$logs/progress.rec" "./play.sh --progress >/tmp/progress.txt" || fail "ended with status $?" "$(shown "$logs/progress.rec")"
# Nothing is kept yet: the game's one line on that, and no set-up or build line.
[ -s "$root/tmp/progress.txt" ] && ! grep -Eq '^\[|^build-play:|^Installing|^--' "$root/tmp/progress.txt" ||
  fail "the file holds other lines than the game's" "$root/tmp/progress.txt"
expect "$logs/progress.rec" "${up_to_date[@]}"
done_step

begin "./play.sh --fullscreen (the whole $screen_size screen)"
game_step "$logs/fullscreen.rec" "./play.sh --fullscreen" "$screen_size" 60 "${up_to_date[@]}" "${no_sound[@]}"
done_step "up in $up_in s"

# ------------------------------------------------------------------ ./run-tests.sh

if [ "${PLIMO_FRESH_SKIP_TESTS:-0}" != 1 ]; then
  begin "./run-tests.sh"
  read -r -a test_env <<<"${PLIMO_FRESH_TEST_ENV:-}"
  on_terminal "$logs/tests.rec" ./run-tests.sh "${test_env[@]}" || fail "./run-tests.sh failed" "$(shown "$logs/tests.rec")"
  expect "$logs/tests.rec" "${setup_lines[@]}" "${build_lines[@]}" \
    --allow "Test project $home/plimo/build" \
    --allow ' *Start +[0-9]+: [A-Za-z0-9_./-]+( +# GetParam\(\) = .*)?' \
    --allow ' *[0-9]+/[0-9]+ Test +#[0-9]+: [A-Za-z0-9_./-]+( +# GetParam\(\) = .*)? \.+ +Passed +[0-9.]+ sec' \
    --require '100% tests passed, 0 tests failed out of [0-9]+' \
    --allow 'Total Test time \(real\) = +[0-9.]+ sec'
  done_step "$(grep -o '[0-9]*% tests passed.*' "$(shown "$logs/tests.rec")" | tail -n1); $(passwords "$logs/tests.rec")"
fi

# ------------------------------------------------------------------ the Debian package

# What apt and dpkg say while installing or removing one package.
apt_lines=(
  --allow '(Reading package lists|Building dependency tree|Reading state information)\.\.\.( [0-9]+%| Done)?'
  --allow '[0-9]+% \[[^]]*\]'
  --allow "Note, selecting 'plimo' instead of '[^']*/plimo_[^']*\\.deb'"
  --allow 'The following (NEW |additional )?packages will be (installed|REMOVED):'
  --allow '  [a-z0-9.+-]+( [a-z0-9.+-]+)*'
  --allow '[0-9]+ upgraded, [0-9]+ newly installed, [0-9]+ to remove and [0-9]+ not upgraded\.'
  --allow 'Need to get [0-9.,]+ [kMG]?B(/[0-9.,]+ [kMG]?B)? of archives\.'
  --allow 'After this operation, [0-9.,]+ [kMG]?B (of additional disk space will be used|disk space will be freed)\.'
  --allow 'Do you want to continue\? \[Y/n\] y'
  --allow 'Get:[0-9]+ [^ ]*/plimo_[^ ]*\.deb plimo .*'
  --allow 'Selecting previously unselected package plimo\.'
  --allow '\(Reading database \.\.\.( .*)?'
  --allow '(Preparing to unpack|Unpacking|Setting up|Removing) .*plimo.*'
  --allow 'Processing triggers for [a-z0-9.+-]+ \([^)]*\) \.\.\.'
)

begin "the README's package section"
# The fenced block under "### As a Debian package", as it stands, run as pasted.
awk '/^### As a Debian package/ { s = 1 } s && /^```sh/ { b = 1; next } b && /^```/ { exit } b' \
  "$root$home/plimo/README.md" >"$root/tmp/package-section.sh"
grep -q 'cpack' "$root/tmp/package-section.sh" || fail "no package block found in the README"
on_terminal "$logs/package.rec" "bash /tmp/package-section.sh" ||
  fail "the package section failed" "$(shown "$logs/package.rec")"
dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${Status}' plimo 2>/dev/null | grep -q "install ok installed" ||
  fail "the package is not installed" "$(shown "$logs/package.rec")"
expect "$logs/package.rec" "${setup_lines[@]}" "${apt_lines[@]}" \
  --allow '-- .*' --allow '\[ *[0-9]+%\] .*' --allow 'CPack(Deb)?: .*'
done_step "$(cd "$root$home/plimo" && ls build-deb/plimo_*.deb | xargs -n1 basename); $(passwords "$logs/package.rec")"

begin "the installed game starts from / (plimo window) and quits"
game_step "$logs/installed.rec" "cd / && plimo window" 640x480 120 "${no_sound[@]}"
done_step "up in $up_in s"

begin "sudo apt-get remove plimo"
on_terminal "$logs/remove.rec" "sudo apt-get remove plimo" || fail "apt-get remove plimo" "$(shown "$logs/remove.rec")"
[ ! -e "$root/usr/games/plimo" ] || fail "/usr/games/plimo is still there" "$(shown "$logs/remove.rec")"
expect "$logs/remove.rec" "${setup_lines[@]}" "${apt_lines[@]}"
done_step "$(passwords "$logs/remove.rec")"

# ------------------------------------------------------------------ ./play-web.sh

begin "./play-web.sh up to a served page"
! curl -s -o /dev/null http://127.0.0.1:8000/ || fail "something on this machine already serves port 8000"
start_on_terminal "$logs/web.rec" ./play-web.sh
web=$started_pid
web_up() { grep -qs 'Plimo is at http' "$logs/web.rec" && curl -sf -o /dev/null http://127.0.0.1:8000/ || ! kill -0 "$web" 2>/dev/null; }
wait_until 2400 "the page" web_up || fail "no page within 40 minutes" "$(shown "$logs/web.rec")"
kill -0 "$web" 2>/dev/null || fail "./play-web.sh ended without serving" "$(shown "$logs/web.rec")"
done_step
# The README's commands end here; what follows are the check's own tools and CI's checks,
# run into logs where nobody types a password.
echo "$user ALL=(ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
chmod 0440 "$root/etc/sudoers.d/$user"
begin "Chromium and puppeteer-core in the root (web/setup.sh --test)"
as_user "$logs/web-test-setup.log" "web/setup.sh --test" || fail "web/setup.sh --test" "$logs/web-test-setup.log"
done_step
begin "headless Chromium shows the splash"
cat >"$root/tmp/splash-check.mjs" <<'JS'
// Opens the served page and compares the canvas's first frame with the splash picture.
import { createRequire } from 'node:module';
import fs from 'node:fs';
const here = process.env.HOME + '/plimo';
const puppeteer = createRequire(here + '/web/package.json')('puppeteer-core');
const { readBmp } = await import(here + '/web/test/bmp.mjs');
const splash = readBmp(here + '/data/splash.bmp');
const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
  userDataDir: fs.mkdtempSync('/tmp/plimo-fresh-chromium-'),
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'] });
try {
  const page = await browser.newPage();
  await page.goto('http://127.0.0.1:8000/', { waitUntil: 'load' });
  // A page that waits for a first tap or key before the game starts gets its tap.
  if (await page.$('#start')) await page.click('#start').catch(() => {});
  await page.waitForFunction(() => performance.getEntriesByName('plimo-first-frame').length ||
                                   (window.plimoPage && window.plimoPage.firstFrameAt) ||
                                   (window.Module && window.Module.firstFrameAt), { timeout: 120000 });
  const pixels = Buffer.from(await page.evaluate(() => {
    const d = document.getElementById('screen').getContext('2d').getImageData(0, 0, 640, 480).data;
    let t = '';
    for (let i = 0; i < d.length; i += 0x8000) t += String.fromCharCode.apply(null, d.subarray(i, i + 0x8000));
    return btoa(t);
  }), 'base64');
  let same = 0;
  for (let i = 0; i < 640 * 480; i++)
    if (pixels[i * 4] === splash.rgb[i * 3] && pixels[i * 4 + 1] === splash.rgb[i * 3 + 1] &&
        pixels[i * 4 + 2] === splash.rgb[i * 3 + 2]) same++;
  const share = same / (640 * 480);
  console.log(`the canvas shows splash.bmp in ${(100 * share).toFixed(1)}% of its pixels`);
  process.exitCode = share < 0.9 ? 1 : 0;
} finally { await browser.close(); }
JS
as_user "$logs/chromium.log" "node /tmp/splash-check.mjs" || fail "the page shows no splash" "$logs/chromium.log"
done_step "$(tail -n1 "$logs/chromium.log")"
# Ctrl+C's end: the terminal ends the server's whole session.
kill -TERM "$web" 2>/dev/null || true
wait "$web" 2>/dev/null || true
begin "what ./play-web.sh showed"
expect "$logs/web.rec" "${setup_lines[@]}" \
  --allow "Fetching Debian's TinyXML source" \
  --allow 'Configuring the browser build in build-web' --allow '  [0-9]+% (Building|Linking) .*' \
  --allow 'Built build-web/site' --allow '\^C' --require 'Plimo is at http://localhost:8000/ \(Ctrl\+C stops the server\)'
done_step

summary
echo "== the README's commands passed on a fresh machine"

# ------------------------------------------------------------------ more checks in this root

while IFS= read -r line; do
  [ -n "$line" ] || continue
  begin "$line"
  log=$logs/then-$(printf '%s' "$line" | tr -c 'A-Za-z0-9' '_' | cut -c1-40).log
  as_user "$log" "$line" CI="${CI:-}" || { tail -n 100 "$log" >&2; fail "failed"; }
  done_step
done <<<"${PLIMO_FRESH_THEN:-}"
[ -z "${PLIMO_FRESH_THEN:-}" ] || summary
