#!/usr/bin/env bash
# Makes every data file of the game again, deterministically, from the programs in makers/.
# Needs python3-pil, python3-numpy, sox and vorbis-tools (installed here if missing).
set -euo pipefail
cd "$(dirname "$0")/.."
need=()
for p in python3-pil python3-numpy sox vorbis-tools fonts-dejavu-core; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get install -y -qq "${need[@]}" >/dev/null
fi
py=/usr/bin/python3
$py makers/make_font.py
$py makers/make_content.py
$py makers/make_pictures.py
$py makers/make_lang_pictures.py   # the cards sit on menubg.bmp and show the font's texts
$py makers/make_music.py
$py makers/make_effects.py         # levels set against the music
if [ -f makers/make_icons.py ]; then $py makers/make_icons.py; fi
echo "data/ is up to date"
