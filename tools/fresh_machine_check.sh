#!/usr/bin/env bash
# Follows the README on a freshly made Debian 12 as a newcomer would: a minimal root made
# with debootstrap from this machine's own apt sources, a plain user "player" with sudo,
# the checkout cloned into that user's home, and as that user exactly the README's
# commands: ./play.sh up to the game's first window (on a virtual X server whose socket is
# shared into the root), quit with Escape on the language screen as the README says;
# ./run-tests.sh; the package section, run from the README itself, to an installed
# package whose game starts, then removed; and ./play-web.sh up to a served page whose
# canvas a headless Chromium (installed in the root afterwards, with web/setup.sh --test)
# shows the splash on. Each step's time is printed; the first step that fails ends the
# check with its log.
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
groups=()      # process groups started here, ended at exit
xvfb_pid=""
cleanup() {
  local status=$? i
  for i in "${groups[@]}"; do kill -TERM -- "-$i" 2>/dev/null || true; done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  sleep 0.5
  for i in "${groups[@]}"; do kill -KILL -- "-$i" 2>/dev/null || true; done
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
  echo "FAIL: $step_name: $1" >&2
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

begin "tools on this machine (debootstrap, Xvfb, xdotool, curl)"
need=()
for p in debootstrap xvfb xdotool curl; do
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
includes=ca-certificates,git,sudo
key=$(printf '%s %s %s minbase' "$suite" "$mirror" "$includes" | sha1sum | cut -c1-12)
tarball=$cache/debian-$suite-minbase-$key.tar.gz

begin "bare Debian $suite root"
if [ -f "$tarball" ] && [ -n "$(find "$tarball" -mtime -14 2>/dev/null)" ] &&
   tar -xzf "$tarball" -C "$root" 2>"$logs/untar.log"; then
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

begin "user $user with sudo, the checkout cloned into $home"
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
chroot "$root" useradd --create-home --shell /bin/bash --groups sudo "$user"
# Sudo without a password: nobody is there to type one.
echo "$user ALL=(ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
chmod 0440 "$root/etc/sudoers.d/$user"
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
mount_in /dev /dev --rbind
mount --make-rslave "$root/dev"
chmod 1777 "$root/tmp"
done_step "$head; $(ls "$archives" 2>/dev/null | grep -c '\.deb$' || true) packages already downloaded"

# Runs a command line in the clone as the user, in a login-like environment.
as_user() { # log command-line [VAR=value...]
  local log=$1 line=$2
  shift 2
  chroot "$root" /usr/sbin/runuser -u "$user" -- env -i HOME="$home" USER="$user" LOGNAME="$user" \
    SHELL=/bin/bash PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games LANG=C.UTF-8 \
    TERM=dumb ${NODE_EXTRA_CA_CERTS:+NODE_EXTRA_CA_CERTS="$NODE_EXTRA_CA_CERTS"} "$@" \
    bash -c "cd ~/plimo && $line" >"$log" 2>&1
}

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
mount_in "/tmp/.X11-unix/X${display#:}" "/tmp/.X11-unix/X${display#:}" --bind

# Starts a command line as the user in its own process group: started_pid.
start_as_user() { # log command-line [VAR=value...]
  setsid bash -c "$(declare -f as_user); root='$root' user='$user' home='$home'; as_user \"\$@\"" \
    _ "$@" &
  started_pid=$!
  groups+=("$started_pid")
}

game_window() { DISPLAY=$display xdotool search --onlyvisible --name '^Plimo$' 2>/dev/null | head -n1 | grep -q .; }
# Escape on the language screen ends the game, which comes after the two-second splash.
# The window is given the keyboard first (no window manager runs here), and Escape is
# pressed every two seconds until the game has ended: one pressed while the game still
# loads or shows the splash is not the language screen's.
quit_game() { # pid
  local win deadline=$((SECONDS + 120))
  win=$(DISPLAY=$display xdotool search --onlyvisible --name '^Plimo$' | head -n1)
  DISPLAY=$display xdotool windowfocus --sync "$win"
  while kill -0 "$1" 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    DISPLAY=$display xdotool key Escape 2>/dev/null || true
    sleep 2
  done
}

# ------------------------------------------------------------------ ./play.sh

begin "./play.sh up to the first window"
start_as_user "$logs/play.log" ./play.sh DISPLAY="$display"
play=$started_pid
game_up() { game_window || ! kill -0 "$play" 2>/dev/null; }
wait_until 1800 "the window" game_up || fail "no window within 30 minutes" "$logs/play.log"
game_window || fail "./play.sh ended without a window" "$logs/play.log"
done_step
begin "the game quits on Escape on the language screen"
quit_game "$play" || fail "the game did not end after Escape on the language screen" "$logs/play.log"
status=0
wait "$play" || status=$?
[ "$status" -eq 0 ] || fail "./play.sh ended with status $status" "$logs/play.log"
# The game's own words on this machine without a sound card: its one "no sound" line.
! grep -q '^ALSA lib' "$logs/play.log" || fail "the sound library's own lines reached the player" "$logs/play.log"
done_step "$(grep -m1 '^no sound' "$logs/play.log" || echo 'no note about sound')"

# ------------------------------------------------------------------ ./run-tests.sh

if [ "${PLIMO_FRESH_SKIP_TESTS:-0}" != 1 ]; then
  begin "./run-tests.sh"
  read -r -a test_env <<<"${PLIMO_FRESH_TEST_ENV:-}"
  as_user "$logs/tests.log" ./run-tests.sh "${test_env[@]}" || fail "./run-tests.sh failed" "$logs/tests.log"
  done_step "$(grep -o '[0-9]*% tests passed.*' "$logs/tests.log" | tail -n1)"
fi

# ------------------------------------------------------------------ the Debian package

begin "the README's package section"
# The commands of the fenced block under "### As a Debian package", as they stand.
awk '/^### As a Debian package/ { s = 1 } s && /^```sh/ { b = 1; next } b && /^```/ { exit } b' \
  "$root$home/plimo/README.md" >"$root/tmp/package-section.sh"
grep -q 'cpack' "$root/tmp/package-section.sh" || fail "no package block found in the README"
# apt asks before installing; the newcomer answers yes.
as_user "$logs/package.log" "yes | bash -e -x /tmp/package-section.sh" ||
  fail "the package section failed" "$logs/package.log"
dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${Status}' plimo 2>/dev/null | grep -q "install ok installed" ||
  fail "the package is not installed" "$logs/package.log"
done_step "$(cd "$root$home/plimo" && ls build-deb/plimo_*.deb | xargs -n1 basename)"
begin "the installed game starts (plimo window) and quits"
start_as_user "$logs/installed.log" "cd / && plimo window" DISPLAY="$display"
installed=$started_pid
installed_up() { game_window || ! kill -0 "$installed" 2>/dev/null; }
wait_until 120 "the window" installed_up && game_window || fail "no window from the installed game" "$logs/installed.log"
quit_game "$installed" || fail "the installed game did not end on Escape" "$logs/installed.log"
status=0
wait "$installed" || status=$?
[ "$status" -eq 0 ] || fail "the installed game ended with status $status" "$logs/installed.log"
done_step
begin "sudo apt-get remove plimo"
as_user "$logs/remove.log" "yes | sudo apt-get remove plimo" || fail "apt-get remove plimo" "$logs/remove.log"
[ ! -e "$root/usr/games/plimo" ] || fail "/usr/games/plimo is still there" "$logs/remove.log"
done_step

# ------------------------------------------------------------------ ./play-web.sh

begin "./play-web.sh up to a served page"
! curl -s -o /dev/null http://127.0.0.1:8000/ || fail "something on this machine already serves port 8000"
start_as_user "$logs/web.log" ./play-web.sh
web=$started_pid
web_up() { grep -qs '^Plimo is at http' "$logs/web.log" && curl -sf -o /dev/null http://127.0.0.1:8000/ || ! kill -0 "$web" 2>/dev/null; }
wait_until 2400 "the page" web_up || fail "no page within 40 minutes" "$logs/web.log"
kill -0 "$web" 2>/dev/null || fail "./play-web.sh ended without serving" "$logs/web.log"
done_step
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
# The server's whole process group (runuser waits on after an interrupt of its child).
kill -TERM -- "-$web" 2>/dev/null || true
wait_until 30 "the server's end" bash -c "! kill -0 -- -$web 2>/dev/null" || kill -KILL -- "-$web" 2>/dev/null || true
wait "$web" 2>/dev/null || true

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
