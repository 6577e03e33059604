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

apt_caller=web/setup.sh
# shellcheck source=tools/apt_progress.sh
source "$web/../tools/apt_progress.sh"

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  apt_root "${missing[@]}"
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
