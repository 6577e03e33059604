#!/usr/bin/env bash
# Sets up what is missing (Debian's emscripten, TinyXML's Debian source), builds Plimo for
# the browser and serves it on http://localhost:8000 until Ctrl+C. PORT=<n> picks another
# port. The folder build-web/site can be put on any static web server as it is.
set -euo pipefail
cd "$(dirname "$0")"
web/setup.sh
web/build.sh build-web
port="${PORT:-8000}"
echo "Plimo is at http://localhost:$port/ (Ctrl+C stops the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
