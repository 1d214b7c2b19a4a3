#!/usr/bin/env bash
# Starts the built program in a real X window under Xvfb, checks that the
# window is mapped with its caption and centred on the screen, and saves a
# screenshot. Usage: xvfb-smoke.sh PROGRAM SCREENSHOT_DIR [SECONDS_SHOWN]
set -euo pipefail
program=${1:?program}
shots=${2:?screenshot folder}
shown=${3:-0.5}
mkdir -p "$shots"

# Xvfb picks a free display itself and writes its number to the file.
number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb=$!
app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -f "$number_file"
}
trap cleanup EXIT
for _ in $(seq 1 100); do [ -s "$number_file" ] && break; sleep 0.1; done
[ -s "$number_file" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -n1 "$number_file")

QT_QPA_PLATFORM=xcb "$program" &
app=$!
caption='Solvara del sole   vers.1'
line=
for _ in $(seq 1 100); do
  line=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$caption\"" || true)
  [ -n "$line" ] && break
  sleep 0.1
done
[ -n "$line" ] || { echo "FAIL: no window captioned '$caption'"; exit 1; }
id=$(echo "$line" | awk '{print $1}')
info=$(xwininfo -id "$id")
echo "$info" | grep -q 'Map State: IsViewable' || { echo "FAIL: window not mapped"; exit 1; }

x=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
y=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
w=$(echo "$info" | awk '/Width:/ {print $2}')
h=$(echo "$info" | awk '/Height:/ {print $2}')
echo "window ${w}x${h} at ${x},${y} on a 1280x1024 screen"
right=$(( 1280 - x - w )); bottom=$(( 1024 - y - h ))
if [ $(( x - right )) -gt 2 ] || [ $(( right - x )) -gt 2 ] \
   || [ $(( y - bottom )) -gt 2 ] || [ $(( bottom - y )) -gt 2 ]; then
  echo "FAIL: not centred (margins left $x right $right top $y bottom $bottom)"
  exit 1
fi

sleep "$shown"
import -window root "$shots/window.png"
echo "screenshot: $shots/window.png"
echo "PASS"
