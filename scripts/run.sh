#!/usr/bin/env bash
# Builds Solvara and starts it. Without a display it shows the window under
# Xvfb for a few seconds instead and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh run
[ -f build/app/build.ninja ] || cmake --preset app >/dev/null
cmake --build --preset app

program=build/app/ui/solvara
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi
echo "No display here (neither DISPLAY nor WAYLAND_DISPLAY is set):"
echo "showing Solvara under Xvfb for a few seconds instead."
scripts/xvfb-smoke.sh "$program" build/app/screenshots 3
