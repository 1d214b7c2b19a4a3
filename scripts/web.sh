#!/usr/bin/env bash
# Builds the browser edition: build/web/solvara.html, one file holding the
# window's page, its script, the WebAssembly module compiled from the same
# C++ as the desktop program, and its faces. Open it in any browser (a
# double-click will do) or put it on any static web host; and build/web/site/,
# the same page for a web host, installable as an app and kept for use
# offline. It also builds the number tests for WebAssembly (ctest --preset
# web runs them under node).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh web
# Debian's emscripten finds its node modules here, whichever node comes first
# on the PATH.
export NODE_PATH=/usr/share/nodejs
cmake --preset web >/dev/null
cmake --build --preset web
echo "The browser edition: $PWD/build/web/solvara.html"
echo "The same as a site for a web host: $PWD/build/web/site/"
