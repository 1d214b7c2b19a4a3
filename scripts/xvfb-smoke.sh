#!/usr/bin/env bash
# Starts the built program in a real X window under Xvfb, alone or framed by
# a window manager; checks that the window is mapped in the normal state with
# its caption, shows the whole layout and has its outer frame centred on the
# screen, that the manager's properties it read are still there, and saves a
# screenshot.
# Usage: xvfb-smoke.sh PROGRAM SCREENSHOT_DIR [SECONDS_SHOWN] [WINDOW_MANAGER]
set -euo pipefail
program=${1:?program}
shots=${2:?screenshot folder}
shown=${3:-0.5}
manager=${4:-}
mkdir -p "$shots"
fail() { echo "FAIL: $*"; exit 1; }
[ -z "$manager" ] || command -v "$manager" >/dev/null || fail "no window manager '$manager'"

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
[ -s "$number_file" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -n1 "$number_file")

if [ -n "$manager" ]; then
  "$manager" >/dev/null 2>&1 & wm=$!
  for _ in $(seq 1 100); do xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' && break; sleep 0.1; done
fi

QT_QPA_PLATFORM=xcb "$program" &
app=$!
caption='Solvara del sole   vers.1'
for _ in $(seq 1 100); do
  id=$(xwininfo -root -tree | grep -F "\"$caption\"" | awk 'NR==1 {print $1}' || true)
  [ -n "$id" ] && xwininfo -id "$id" | grep -q 'Map State: IsViewable' && break
  sleep 0.1
done
[ -n "$id" ] || fail "no window captioned '$caption'"
sleep "$shown"
info=$(xwininfo -id "$id")
echo "$info" | grep -q 'Map State: IsViewable' || fail "window not mapped"
! xprop -id "$id" _NET_WM_STATE | grep -Eq 'MAXIMIZED|HIDDEN|FULLSCREEN' || fail "not in the normal state"
# Asking the manager about its frames reads its properties and leaves them.
[ -z "$manager" ] || xprop -root _NET_SUPPORTED | grep -q _NET_REQUEST_FRAME_EXTENTS \
  || fail "the manager's _NET_SUPPORTED is gone"

# The outer frame is the client's place widened by the frame that the
# manager drew: left, right, top, bottom (none without a manager).
read -r l r t b < <(xprop -id "$id" _NET_FRAME_EXTENTS | awk -F' = ' '{gsub(",", ""); print $2}' \
                    | grep . || echo 0 0 0 0)
read -r x y w h < <(echo "$info" | awk '/Absolute upper-left [XY]|Width|Height/ {print $NF}' | xargs)
left=$(( x - l )) right=$(( 1280 - x - w - r )) top=$(( y - t )) bottom=$(( 1024 - y - h - b ))
echo "${manager:-no manager}: frame $l $r $t $b; margins left $left right $right top $top bottom $bottom"
(( (left - right) ** 2 <= 9 && (top - bottom) ** 2 <= 9 && left >= 0 && top >= 0 )) \
  || fail "frame not centred"
# The layout reaches 11655 x 8295 twips, 15 to a pixel.
(( w * 15 >= 11655 && h * 15 >= 8295 )) || fail "the window does not show the whole layout"

shot="$shots/window${manager:+-$manager}.png"
import -window root "$shot"
echo "PASS, screenshot: $shot"
