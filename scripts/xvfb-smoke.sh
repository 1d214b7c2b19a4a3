#!/usr/bin/env bash
# Starts the built program in a real X window under Xvfb, alone or under a
# window manager, checks that the window is mapped in the normal state with
# its caption, shows the whole layout and has its outer frame centred on the
# screen, and saves a screenshot.
# Usage: xvfb-smoke.sh PROGRAM SCREENSHOT_DIR [SECONDS_SHOWN] [WINDOW_MANAGER]
set -euo pipefail
program=${1:?program}
shots=${2:?screenshot folder}
shown=${3:-0.5}
manager=${4:-}
mkdir -p "$shots"
if [ -n "$manager" ] && ! command -v "$manager" >/dev/null; then
  echo "FAIL: no window manager '$manager' installed"; exit 1
fi

# Xvfb picks a free display itself and writes its number to the file.
number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb=$!
app= wm=
cleanup() {
  for p in $app $wm $xvfb; do kill "$p" 2>/dev/null || true; done
  rm -f "$number_file"
}
trap cleanup EXIT
for _ in $(seq 1 100); do [ -s "$number_file" ] && break; sleep 0.1; done
[ -s "$number_file" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -n1 "$number_file")

if [ -n "$manager" ]; then
  "$manager" >/dev/null 2>&1 &
  wm=$!
  for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
fi

QT_QPA_PLATFORM=xcb "$program" &
app=$!
caption='Solvara del sole   vers.1'
id=
for _ in $(seq 1 100); do
  id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$caption\"" | awk 'NR==1 {print $1}' || true)
  [ -n "$id" ] && xwininfo -id "$id" | grep -q 'Map State: IsViewable' && break
  sleep 0.1
done
[ -n "$id" ] || { echo "FAIL: no window captioned '$caption'"; exit 1; }
sleep "$shown"
info=$(xwininfo -id "$id")
echo "$info" | grep -q 'Map State: IsViewable' || { echo "FAIL: window not mapped"; exit 1; }
if xprop -id "$id" _NET_WM_STATE | grep -Eq 'MAXIMIZED|HIDDEN|FULLSCREEN'; then
  echo "FAIL: window not in the normal state"; exit 1
fi

# The outer frame: the client's place widened by the frame the manager drew
# (left, right, top, bottom), none without a manager.
read -r l r t b < <(xprop -id "$id" _NET_FRAME_EXTENTS | awk -F' = ' '{gsub(",", ""); print $2}' \
                    | grep . || echo 0 0 0 0)
x=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
y=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
w=$(echo "$info" | awk '/Width:/ {print $2}')
h=$(echo "$info" | awk '/Height:/ {print $2}')
echo "${manager:-no manager}: client ${w}x${h} at ${x},${y}, frame extents $l $r $t $b"
left=$(( x - l )); top=$(( y - t ))
right=$(( 1280 - x - w - r )); bottom=$(( 1024 - y - h - b ))
echo "frame margins: left $left right $right top $top bottom $bottom"
if [ $(( (left - right) * (left - right) )) -gt 9 ] || [ $(( (top - bottom) * (top - bottom) )) -gt 9 ] \
   || [ "$left" -lt 0 ] || [ "$top" -lt 0 ]; then
  echo "FAIL: frame not centred"; exit 1
fi
# The layout reaches 11655 x 8295 twips, 15 to a pixel.
if [ $(( w * 15 )) -lt 11655 ] || [ $(( h * 15 )) -lt 8295 ]; then
  echo "FAIL: the window does not show the whole layout"; exit 1
fi

shot="$shots/window${manager:+-$manager}.png"
import -window root "$shot"
echo "screenshot: $shot"
echo "PASS"
