#!/usr/bin/env bash
# Installs what the browser build needs and is missing on this Debian machine (with sudo
# when not root): cmake and make, which build it; Debian's emscripten (which brings clang,
# lld, binaryen and Node.js); dpkg-dev, whose dpkg-source unpacks TinyXML's source
# package; python3, which serves the site. With --test also Debian's chromium and the
# test's Node packages, installed from web/package-lock.json (npm ci). Costs about a
# second when everything is there.
set -euo pipefail
web="$(cd "$(dirname "$0")" && pwd)"

packages=(cmake make dpkg-dev emscripten python3)
if [ "${1:-}" = "--test" ]; then
  packages+=(chromium)
  # Debian's nodejs comes without npm; the one from NodeSource has it built in.
  command -v npm >/dev/null || packages+=(npm)
fi

# Runs apt-get with its output in a log. On a terminal (and not in CI) apt's own progress
# (downloads, then dpkg's steps, with their percentages) shows on one line that keeps being
# rewritten, as tools/setup.sh shows it; elsewhere nothing shows but the result. A failure
# shows the log's end.
apt_get() { # what apt-get-arguments...
  local what=$1 status=0 kind percent message columns line
  shift
  if [ -t 2 ] && [ -z "${CI:-}" ]; then
    columns=$(tput cols 2>/dev/null || echo 80)
    printf '\r\033[K%s' "$what" >&2
    # apt writes its status lines to descriptor 3, opened inside the (root) shell since
    # sudo closes every other descriptor; that shell leaves apt's exit status in a file.
    # shellcheck disable=SC2016 # expanded by that shell, not this one
    $sudo bash -c 'log=$1; shift; status=0; apt-get "$@" 3>&1 >>"$log" 2>&1 || status=$?; echo $status >"$log.status"' \
      _ "$log" "${apt_options[@]}" -o APT::Status-Fd=3 "$@" |
      while IFS=: read -r kind _ percent message; do
        case $kind in dlstatus | pmstatus) ;; *) continue ;; esac
        line=$(LC_ALL=C printf '%s: %3.0f%% %s' "$what" "$percent" "$message")
        printf '\r\033[K%s' "${line:0:$((columns - 1))}" >&2
      done
    status=$(cat "$log.status" 2>/dev/null || echo 1)
    printf '\r\033[K' >&2
  else
    $sudo apt-get "${apt_options[@]}" "$@" >>"$log" 2>&1 || status=$?
  fi
  if [ "$status" -ne 0 ]; then
    tail -n 30 "$log" >&2
    echo "web/setup.sh: apt-get $1 failed (status $status)" >&2
    exit 1
  fi
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
    command -v sudo >/dev/null || { echo "web/setup.sh: installing needs root or sudo; as root: apt-get install ${missing[*]}" >&2; exit 1; }
    # The password, when sudo wants one, is asked for here on a line of its own.
    if ! sudo -n true 2>/dev/null; then
      sudo -v -p "[sudo] password for %u, to install them: " || exit 1
    fi
  fi
  # No questions and no debconf chatter; another apt at work is waited for, not failed on.
  export DEBIAN_FRONTEND=noninteractive
  apt_options=(-o DPkg::Lock::Timeout=900)
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  log=$scratch/apt.log
  started=$SECONDS
  apt_get "package lists" update
  apt_get "installing" install -y --no-install-recommends "${missing[@]}"
  echo "Installed in $((SECONDS - started)) s" >&2
fi

if [ "${1:-}" = "--test" ]; then
  # Reinstalled only when the lock file changed since the last install.
  if ! cmp -s "$web/package-lock.json" "$web/node_modules/.package-lock.json.installed" 2>/dev/null; then
    (cd "$web" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
    cp "$web/package-lock.json" "$web/node_modules/.package-lock.json.installed"
  fi
fi
