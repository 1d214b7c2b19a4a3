#!/usr/bin/env bash
# Starts the built program in a real X window under Xvfb, alone or framed by
# a window manager; checks that the window is mapped in the normal state with
# its caption and shows the whole layout, that its outer frame stands
# centred on the monitor in use (or, taller or wider than the monitor, with
# its caption's corner inside it), that the manager's properties it read are
# still there, and saves a screenshot. Every wait polls with a deadline; a
# tool that fails fails the test.
# Usage: xvfb-smoke.sh PROGRAM SCREENSHOT_DIR [SECONDS_SHOWN] [WINDOW_MANAGER] [CASE]
#   WINDOW_MANAGER: openbox, metacity, kwin_x11 (with the Breeze frame), or
#                   empty for none
#   CASE: two-monitors  two monitors side by side, the right one primary and
#                       holding the pointer
#         small-screen  a 1366x768 screen at display scale 1.5
set -euo pipefail
program=${1:?program}
shots=${2:?screenshot folder}
shown=${3:-0}
manager=${4:-}
case=${5:-}
mkdir -p "$shots"
fail() { echo "FAIL: $*"; exit 1; }
[ -z "$manager" ] || command -v "$manager" >/dev/null || fail "no window manager '$manager'"
screen=1280x1024
case "$case" in
'' | two-monitors) ;;
small-screen) screen=1366x768 ;;
*) fail "unknown case '$case'" ;;
esac
[ "$case" != two-monitors ] || screen=2560x1024

work=$(mktemp -d)
# Xvfb picks a free display itself and writes its number to the file; it
# keeps the monitors set below when their client leaves (-noreset).
Xvfb -displayfd 3 -noreset -screen 0 "${screen}x24" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
app= wm=
cleanup() {
  for p in $app $wm $xvfb; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Runs a tool; its failure fails the test, with what it said.
run() {
  "$@" 2>"$work/err" || fail "'$*' failed: $(head -c 300 "$work/err")"
}
# Polls CONDITION every 0.05 s for up to SECONDS; then fails saying WHAT, or
# runs WHAT where it is a function that tells more.
await() {
  local seconds=$1 what=$2; shift 2
  local end=$(( $(date +%s%N) + seconds * 1000000000 ))
  until "$@"; do
    if (( $(date +%s%N) >= end )); then
      ! declare -F "$what" >/dev/null || "$what"
      fail "$what (waited $seconds s)"
    fi
    sleep 0.05
  done
}

await 10 "Xvfb did not start" test -s "$work/display"
export DISPLAY=:$(head -n1 "$work/display")
# The server answers only once it is ready.
server_up() { xdpyinfo >/dev/null 2>&1; }
await 10 "Xvfb does not answer" server_up
monitor=(0 0 "${screen%x*}" "${screen#*x}") # left, top, width, height in pixels
if [ "$case" = two-monitors ]; then
  run xrandr --setmonitor left 1280/338x1024/270+0+0 screen # the output as it was
  run xrandr --setmonitor '*right' 1280/338x1024/270+1280+0 none
  run xdotool mousemove 1920 512
  monitor=(1280 0 1280 1024)
  two() { [ "$(xrandr --listmonitors | head -n1)" = 'Monitors: 2' ]; }
  await 5 "the two monitors were not set" two
fi

if [ -n "$manager" ]; then
  env=()
  # KWin draws its own Breeze frame, reads its settings from a folder of
  # its own and composites nothing (Xvfb has no GPU).
  if [ "$manager" = kwin_x11 ]; then
    mkdir -p "$work/config"
    printf '[org.kde.kdecoration2]\nlibrary=org.kde.breeze\ntheme=Breeze\n' >"$work/config/kwinrc"
    env=(XDG_CONFIG_HOME="$work/config" KWIN_COMPOSE=N QT_QPA_PLATFORM=xcb)
  fi
  env "${env[@]}" "$manager" >"$work/wm.log" 2>&1 & wm=$!
  # A running manager names its check window on the root, and that window
  # names itself.
  managing() {
    kill -0 "$wm" 2>/dev/null || fail "$manager exited: $(tail -n3 "$work/wm.log")"
    local root check
    root=$(xprop -root _NET_SUPPORTING_WM_CHECK) || fail "xprop cannot read the root window"
    check=$(echo "$root" | grep -o '0x[0-9a-f]*') || return 1
    xprop -id "$check" _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "$check"
  }
  await 20 "$manager did not start managing" managing
  supported_before=$(xprop -root _NET_SUPPORTED) || fail "xprop cannot read the root window"
else
  # What a manager that has exited leaves on the root window: a check window
  # that is gone, and its list of supported hints.
  run xprop -root -f _NET_SUPPORTING_WM_CHECK 32x -set _NET_SUPPORTING_WM_CHECK 0x3fffff
  run xprop -root -f _NET_SUPPORTED 32a -set _NET_SUPPORTED _NET_REQUEST_FRAME_EXTENTS
fi

scale=()
[ "$case" != small-screen ] || scale=(QT_SCALE_FACTOR=1.5)
started=$(date +%s%N)
env "${scale[@]}" QT_QPA_PLATFORM=xcb "$program" >"$work/app.log" 2>&1 &
app=$!
caption='Solvara del sole   vers.1'
mapped() {
  kill -0 "$app" 2>/dev/null || fail "the program exited: $(tail -n3 "$work/app.log")"
  local tree
  tree=$(xwininfo -root -tree) || fail "xwininfo cannot list the windows"
  id=$(echo "$tree" | grep -F "\"$caption\"" | awk 'NR==1 {print $1}') || return 1
  [ -n "$id" ] && xwininfo -id "$id" | grep -q 'Map State: IsViewable'
}
await 20 "no mapped window captioned '$caption'" mapped
echo "mapped $(( ($(date +%s%N) - started) / 1000000 )) ms after start"

# The outer frame is the client's place widened by the frame that the
# manager drew: left, right, top, bottom (none without a manager). Its
# margins to the monitor, each side.
measure() {
  local extents info
  extents=$(xprop -id "$id" _NET_FRAME_EXTENTS) || fail "xprop cannot read the window's frame"
  if [[ $extents =~ =\ ([0-9]+),\ ([0-9]+),\ ([0-9]+),\ ([0-9]+)$ ]]; then
    read -r l r t b <<<"${BASH_REMATCH[*]:1}"
  elif [ -z "$manager" ]; then
    l=0 r=0 t=0 b=0
  else
    return 1 # not framed yet
  fi
  info=$(xwininfo -id "$id") || fail "xwininfo cannot read the window"
  read -r x y w h < <(echo "$info" | awk '/Absolute upper-left [XY]|Width|Height/ {print $NF}' | xargs)
  left=$(( x - l - monitor[0] )) right=$(( monitor[0] + monitor[2] - x - w - r ))
  top=$(( y - t - monitor[1] )) bottom=$(( monitor[1] + monitor[3] - y - h - b ))
}
# Centred within 3 pixels where the frame fits the monitor; where it does
# not, its top-left corner within 3 pixels inside the monitor's.
placed() {
  measure || return 1
  local side
  for side in "$left $right" "$top $bottom"; do
    set -- $side
    if (( $1 + $2 >= 0 )); then (( ($1 - $2) ** 2 <= 9 )) || return 1
    else (( $1 >= 0 && $1 <= 3 )) || return 1
    fi
  done
}
misplaced() {
  measure || fail "the manager drew no frame"
  fail "frame not placed: frame $l $r $t $b; margins left $left right $right top $top bottom $bottom"
}
await 5 misplaced placed
echo "${manager:-no manager}${case:+, $case}: frame $l $r $t $b;" \
     "margins left $left right $right top $top bottom $bottom"

xprop -id "$id" _NET_WM_STATE >"$work/state" || fail "xprop cannot read the window's state"
! grep -Eq 'MAXIMIZED|HIDDEN|FULLSCREEN' "$work/state" || fail "not in the normal state"
# Asking the manager about its frames reads its properties and leaves them.
if [ -n "$manager" ]; then
  supported=$(xprop -root _NET_SUPPORTED) || fail "xprop cannot read the root window"
  [ "$supported" = "$supported_before" ] || fail "the manager's _NET_SUPPORTED changed"
fi
# The layout reaches 11655 x 8295 twips, 15 to a pixel, at the display scale.
factor=1
[ "$case" != small-screen ] || factor=1.5
awk -v w="$w" -v h="$h" -v f="$factor" 'BEGIN { exit !(w * 15 >= 11655 * f - 15 && h * 15 >= 8295 * f - 15) }' \
  || fail "the window does not show the whole layout"

sleep "$shown" # for whoever watches
shot="$shots/window${manager:+-$manager}${case:+-$case}.png"
run import -window root "$shot"
echo "PASS, screenshot: $shot"
