#!/usr/bin/env bash
# Redraws the README's pictures into a temporary folder and compares them with
# those in docs/: both exist, the README shows them, the redrawn ones have the
# same size and the same content. Text is set a little differently from one
# release to the next: a shade of an edge, a pixel across, and on Debian 13
# lines of text up to two pixels higher or closer together than on Debian 12.
# So a pixel counts as changed only when it is more than a quarter of the grey
# scale darker or lighter than every pixel near the same place in the other
# picture, one pixel either side and three above or below; a moved, missing or
# recaptioned control changes dozens to thousands of pixels that way (a button
# that reads "Azzera" instead of "Stampa": 44). Usage: check-pictures.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
command -v convert >/dev/null || { echo "FAIL: ImageMagick is missing (scripts/setup.sh run installs it)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SOLVARA_BUILD=$1 scripts/make-pictures.sh "$work" >/dev/null
allowed=20

# Pixels of picture $1 outside the range of picture $2 around them.
# (The marked pixels go through a file: ImageMagick 7 prints a stray word on
# the output of an -fx over an image list.)
outside() {
  convert \( "$1" -colorspace gray \) \
          \( "$2" -colorspace gray -morphology Erode Rectangle:3x7 \) \
          \( "$2" -colorspace gray -morphology Dilate Rectangle:3x7 \) \
          -fx 'u[0] < u[1] - 0.25 || u[0] > u[2] + 0.25' "$work/outside.png" >/dev/null
  convert "$work/outside.png" -format '%[fx:round(mean * w * h)]' info:
}

for picture in window.png page.png; do
  kept=docs/$picture drawn=$work/$picture
  [ -s "$kept" ] || { echo "FAIL: no $kept"; exit 1; }
  grep -q "($kept)" README.md || { echo "FAIL: the README does not show $picture"; exit 1; }
  size=$(identify -format '%wx%h' "$kept")
  [ "$size" = "$(identify -format '%wx%h' "$drawn")" ] \
    || { echo "FAIL: $picture is $size in docs/, $(identify -format '%wx%h' "$drawn") redrawn"; exit 1; }
  changed=$(( $(outside "$kept" "$drawn") + $(outside "$drawn" "$kept") ))
  echo "$picture: $size, $changed pixels changed (at most $allowed)"
  [ "$changed" -le "$allowed" ] \
    || { echo "FAIL: docs/$picture is not what the program draws now: scripts/make-pictures.sh redraws it"; exit 1; }
done
echo PASS
