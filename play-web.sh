#!/usr/bin/env bash
# Sets up what is missing (Debian's cmake, make, dpkg-dev, emscripten and python3, with
# sudo when not root; TinyXML's Debian source), builds Plimo for the browser, showing the
# build's progress, and serves it quietly on http://localhost:8000 until Ctrl+C.
# PORT=<n> picks another port. The folder build-web/site can be put on any static web
# server as it is. Setting up and building show on standard error; a user whom sudo does
# not let install what is missing gets one line naming the apt-get command to ask an
# administrator for, and status 1.
set -euo pipefail
cd "$(dirname "$0")"
web/setup.sh >&2
web/build.sh build-web >&2
exec python3 web/serve.py build-web/site "${PORT:-8000}"
