#!/usr/bin/env bash
# Answer keys on the us, fr (AZERTY) and de (QWERTZ) keyboard maps, end to end: the real
# game in a window on its own virtual X server, each map set with xmodmap, answers typed
# from the main keyboard only and checked by screenshots against the keypad's (layouts.py
# does the playing and says how).
#
# Usage: layouts.sh PLIMO_BINARY DATA_DIR [LAYOUT...]   (default: us fr de)
# Needs Xvfb, xdotool, xmodmap and /usr/bin/python3 with python3-pil and python3-xlib
# (tools/setup.sh --tests installs them). Every wait polls the screen against a generous
# time-out, so a slow or loaded machine (or the sanitizer build) only makes it take longer.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 PLIMO_BINARY DATA_DIR [LAYOUT...]" >&2
  exit 2
fi
python=/usr/bin/python3
for tool in Xvfb xdotool xmodmap "$python"; do
  if ! command -v "$tool" >/dev/null; then
    echo "layouts.sh: $tool is missing; run tools/setup.sh --tests" >&2
    exit 1
  fi
done
if ! "$python" -c 'import PIL, Xlib' 2>/dev/null; then
  echo "layouts.sh: python3-pil or python3-xlib is missing; run tools/setup.sh --tests" >&2
  exit 1
fi
exec "$python" "$(dirname "$0")/layouts.py" "$@"
