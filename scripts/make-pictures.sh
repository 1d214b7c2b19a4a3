#!/usr/bin/env bash
# Draws the README's pictures into OUTPUT_DIR (docs/ by default) with the
# program's own window and printing code: window.png and page.png.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs}
build=${SOLVARA_BUILD:-build/default}
mkdir -p "$out"
if [ ! -x "$build/readme_pictures" ]; then
  [ -f "$build/build.ninja" ] || cmake --preset default >/dev/null
  cmake --build "$build" --target readme_pictures
fi
"$build/readme_pictures" "$out"
pdftoppm -png -r 60 -singlefile "$out/page.pdf" "$out/page"
rm "$out/page.pdf"
echo "$out/window.png $out/page.png"
