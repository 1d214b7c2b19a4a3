#!/usr/bin/env bash
# Redraws the README's pictures into a temporary folder and checks them
# against those in docs/: both exist, the README shows them, and the redrawn
# ones have the same size. Usage: check-pictures.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SOLVARA_BUILD=$1 scripts/make-pictures.sh "$work" >/dev/null
for picture in window.png page.png; do
  [ -s "docs/$picture" ] || { echo "FAIL: no docs/$picture"; exit 1; }
  grep -q "(docs/$picture)" README.md || { echo "FAIL: the README does not show $picture"; exit 1; }
  kept=$(identify -format '%wx%h' "docs/$picture")
  drawn=$(identify -format '%wx%h' "$work/$picture")
  [ "$kept" = "$drawn" ] || { echo "FAIL: $picture is $kept in docs/, $drawn redrawn"; exit 1; }
  echo "$picture: $drawn"
done
echo PASS
