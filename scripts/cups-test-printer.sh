#!/usr/bin/env bash
# A real CUPS server with a PDF queue as the default printer, for the print
# tests: "start DIR" brings it up (starting cupsd only when none runs) and
# prints where the pages will land; "stop DIR" takes the queue away and stops
# the cupsd it started, by its PID. Every step that needs root goes through
# sudo when run as a plain user.
set -euo pipefail

usage="usage: cups-test-printer.sh start|stop STATE_DIR"
action=${1:?$usage}
state=${2:?$usage}
queue=SolvaraTestPDF
conf=/etc/cups/cups-pdf-solvara-test.conf

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

scheduler_running() { lpstat -r 2>/dev/null | grep -q 'is running'; }

case "$action" in
start)
  mkdir -p "$state"
  state=$(cd "$state" && pwd)
  if ! scheduler_running; then
    as_root mkdir -p /run/cups
    if [ "$(id -u)" -eq 0 ]; then
      cupsd -f </dev/null >"$state/cupsd.log" 2>&1 &
    else
      sudo cupsd -f </dev/null >"$state/cupsd.log" 2>&1 &
    fi
    echo $! >"$state/cupsd.pid"
    for _ in $(seq 1 100); do scheduler_running && break; sleep 0.1; done
    scheduler_running || { echo "cupsd did not start:"; cat "$state/cupsd.log"; exit 1; }
  fi
  # Keep the machine's own default printer, to give it back on stop.
  if [ ! -f "$state/previous-default" ]; then
    lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p' >"$state/previous-default"
  fi
  out="$state/pdf"
  rm -rf "$out"
  mkdir -p "$out"
  chmod 1777 "$out"
  printf 'Out %s\nAnonDirName %s\nLabel 0\n' "$out" "$out" | as_root tee "$conf" >/dev/null
  as_root lpadmin -p "$queue" -E -v cups-pdf:/solvara-test \
    -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
    -o pdftops-renderer-default=pdftocairo 2>/dev/null
  as_root lpadmin -d "$queue"
  as_root cupsenable "$queue"
  as_root cupsaccept "$queue"
  echo "$queue" >"$state/queue"
  echo "$out"
  ;;
stop)
  as_root lpadmin -x "$queue" 2>/dev/null || true
  as_root rm -f "$conf"
  previous=$(cat "$state/previous-default" 2>/dev/null || true)
  if [ -n "$previous" ] && [ "$previous" != "$queue" ]; then
    as_root lpadmin -d "$previous" 2>/dev/null || true
  fi
  rm -f "$state/previous-default"
  if [ -f "$state/cupsd.pid" ]; then
    pid=$(cat "$state/cupsd.pid")
    # Only the cupsd this script started (or the sudo that runs it, which
    # hands the signal on), and only while it runs: an empty or stale file
    # must not signal a process group or another program.
    started=$(cat "/proc/$pid/comm" 2>/dev/null || true)
    if [[ "$pid" =~ ^[1-9][0-9]*$ ]] && { [ "$started" = cupsd ] || [ "$started" = sudo ]; }; then
      as_root kill "$pid" 2>/dev/null || true
      for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    rm -f "$state/cupsd.pid"
  fi
  ;;
*)
  echo "$usage" >&2
  exit 2
  ;;
esac
