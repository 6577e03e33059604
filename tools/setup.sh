#!/usr/bin/env bash
# Installs whatever Plimo needs to build, play and test that is not yet on this Debian
# machine; costs about a second when everything is there already.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  libsdl1.2-dev libsdl-mixer1.2-dev libtinyxml-dev
  libgtest-dev
)
# Extra packages for the test suite: a virtual X server, key injection, keyboard maps
# (xmodmap, in x11-xserver-utils), screenshots (the end-to-end tests grab the screen with
# Python's Xlib, PIL and numpy); clang with its libFuzzer runtime for the fuzz targets.
if [ "${1:-}" = "--tests" ]; then
  packages+=(xvfb xdotool imagemagick x11-utils x11-xserver-utils python3-numpy python3-pil python3-xlib vorbis-tools clang libclang-rt-dev)
fi
if [ "${1:-}" = "--bench" ]; then
  packages+=(libbenchmark-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
