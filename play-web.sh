#!/usr/bin/env bash
# Sets up what is missing (Debian's cmake, make, dpkg-dev, emscripten and python3, with
# sudo when not root; TinyXML's Debian source), builds Plimo for the browser, showing the
# build's progress, and serves it quietly on http://localhost:8000 until Ctrl+C.
# PORT=<n> picks another port. The folder build-web/site can be put on any static web
# server as it is.
set -euo pipefail
cd "$(dirname "$0")"
web/setup.sh
web/build.sh build-web
exec python3 web/serve.py build-web/site "${PORT:-8000}"
