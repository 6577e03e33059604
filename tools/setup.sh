#!/usr/bin/env bash
# Installs whatever Plimo needs to build, play and test that is not yet on this Debian
# machine; costs about a second when everything is there already.
#
# Usage: tools/setup.sh [--tests | --bench | --package]
# Without an option: what building and playing need. --tests adds the test suite's tools,
# --bench Google Benchmark, --package what building and checking the Debian package need.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  libsdl1.2-dev libsdl-mixer1.2-dev libtinyxml-dev
)
# Extra packages for the test suite: GoogleTest, a virtual X server, key injection,
# keyboard maps (xmodmap, in x11-xserver-utils), screenshots (the end-to-end tests grab
# the screen with Python's Xlib, PIL and numpy); clang with its libFuzzer runtime for the
# fuzz targets; faketime, which changes the date under the clock test.
if [ "${1:-}" = "--tests" ]; then
  packages+=(libgtest-dev xvfb xdotool imagemagick x11-utils x11-xserver-utils python3-numpy python3-pil python3-xlib vorbis-tools clang libclang-rt-dev faketime)
fi
if [ "${1:-}" = "--bench" ]; then
  packages+=(libbenchmark-dev)
fi
# The Debian package: dpkg-dev works out its dependencies and hardening flags, file is
# what CPack's DEB generator inspects the binaries with, lintian, desktop-file-utils and
# appstream (appstreamcli, for the software centres' metainfo) check the result.
if [ "${1:-}" = "--package" ]; then
  packages+=(dpkg-dev file lintian desktop-file-utils appstream)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

apt_caller=tools/setup.sh
# shellcheck source=tools/apt_progress.sh
source "$(dirname "$0")/apt_progress.sh"

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
