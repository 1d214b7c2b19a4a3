#!/usr/bin/env bash
# Redraws the 32 x 32 window icon (16 colours) from its SVG source.
set -euo pipefail
cd "$(dirname "$0")/.."
convert -background none ui/icons/solvara.svg -colors 16 PNG32:ui/icons/solvara.png
