#!/usr/bin/env bash
# Unpacks sdl12-compat (SDL 1.2's interface over SDL 2, Debian's libsdl1.2-compat
# packages) into a folder without installing it, so that the game can be built or run on
# it beside the classic libsdl1.2-dev; installs SDL 2 itself when it is missing.
# Prints the library folder to put first on LD_LIBRARY_PATH (its pkgconfig/ holds sdl.pc
# for building).
#
# Usage: tools/unpack_sdl_compat.sh FOLDER
set -euo pipefail
root=$(realpath -m "$1")
libdir="$root/usr/lib/x86_64-linux-gnu"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
apt=(apt-get -o DPkg::Lock::Timeout=900)
# The compat library runs on SDL 2.
if ! dpkg-query -W -f='${Status}' libsdl2-2.0-0 2>/dev/null | grep -q "install ok installed"; then
  $sudo "${apt[@]}" update -qq >&2
  $sudo "${apt[@]}" install -y -qq --no-install-recommends libsdl2-2.0-0 >&2
fi
if [ ! -e "$libdir/sdl12-compat/libSDL-1.2.so.0" ]; then
  mkdir -p "$root/debs"
  packages=(libsdl1.2-compat libsdl1.2-compat-shim libsdl1.2-compat-dev)
  # apt-get download needs the package lists; a fresh machine may not have them yet.
  if ! (cd "$root/debs" && apt-get download "${packages[@]}" >/dev/null 2>&1); then
    $sudo "${apt[@]}" update -qq >&2
    (cd "$root/debs" && apt-get download "${packages[@]}" >&2)
  fi
  for deb in "$root"/debs/*.deb; do
    dpkg -x "$deb" "$root"
  done
  # The package's pkg-config file names /usr; here it lives under $root.
  sed -i "s|^prefix=.*|prefix=$root/usr|; s|^libdir=.*|libdir=$libdir|; s|^includedir=.*|includedir=$root/usr/include|" \
    "$libdir/pkgconfig/sdl12_compat.pc"
fi
echo "$libdir"
