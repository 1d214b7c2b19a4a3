#!/usr/bin/env bash
# Builds everything and runs every test: first the house habits (one format,
# clang-tidy silent: scripts/lint.sh), then the full suite (numbers, the real
# window offscreen and under Xvfb, the printed page, printing through a real
# CUPS PDF queue, the browser edition in a headless Chromium), the number
# tests compiled to WebAssembly and run under node, then the fast tests of
# core/, print/ and ui/ again (the window offscreen) under Address- and
# UndefinedBehaviorSanitizer. The builds treat warnings as errors; the native
# ones check the standard library's bounds.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test

# Configured every time, so that a build folder made by an older preset
# takes up the preset's current settings.
cmake --preset default >/dev/null
scripts/lint.sh build/default

for preset in default asan; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
# The browser edition, which the default suite opens in a headless Chromium.
scripts/web.sh

ctest --preset default -j2
NODE_PATH=/usr/share/nodejs ctest --preset web
ctest --preset asan -j2
