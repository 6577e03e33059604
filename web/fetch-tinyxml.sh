#!/usr/bin/env bash
# Fetches Debian's source package of TinyXML (with Debian's patches applied) into the
# folder given, for the browser build. apt runs on a private configuration that turns
# the system's own "deb" entries into "deb-src" ones, so the system's sources and package
# lists are left untouched. Does nothing when the source is already there.
#   web/fetch-tinyxml.sh <folder>     e.g. build-web/tinyxml
set -euo pipefail
dest=${1:?usage: fetch-tinyxml.sh <folder>}
if [ -f "$dest/source/tinyxml.cpp" ]; then
  exit 0
fi
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)
apt_dir=$dest/apt
rm -rf "$apt_dir" "$dest/source"
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$dest/download"

# The system's entries, each "deb" made "deb-src": one-line lists and deb822 files alike.
if [ -f /etc/apt/sources.list ]; then
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list > "$apt_dir/sources.list.d/system.list"
fi
for f in /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" > "$apt_dir/sources.list.d/$(basename "$f")"
done
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  sed 's/^Types:.*/Types: deb-src/' "$f" > "$apt_dir/sources.list.d/$(basename "$f")"
done

apt_options=(
  -o "Dir::Etc::SourceList=/dev/null"
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  -o "Dir::State::status=/var/lib/dpkg/status"
  -o "APT::Sandbox::User=root"
  -o "Debug::NoLocking=1"
)
echo "Fetching Debian's TinyXML source" >&2
apt-get "${apt_options[@]}" update -qq
# apt-get source unpacks with dpkg-source, which applies Debian's patches.
(cd "$dest/download" && apt-get "${apt_options[@]}" source -qq tinyxml >/dev/null)
unpacked=$(find "$dest/download" -mindepth 1 -maxdepth 1 -type d -name 'tinyxml-*' | head -n1)
if [ -z "$unpacked" ] || [ ! -f "$unpacked/tinyxml.cpp" ]; then
  echo "fetch-tinyxml.sh: Debian's tinyxml source did not unpack" >&2
  exit 1
fi
mv "$unpacked" "$dest/source"
rm -rf "$dest/download" "$apt_dir/cache"
