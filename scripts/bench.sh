#!/usr/bin/env bash
# Builds and runs the benchmarks: computation, window start inside one
# process, whole-process start against an empty window, printing to a CUPS
# PDF queue set up for the run, and the browser edition's size, start and
# press beside the native press. They report figures, nothing more.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
[ -f build/default/build.ninja ] || cmake --preset default >/dev/null
cmake --build --preset default --target core_bench window_bench print_bench \
  startup_bench empty_window one_label_window solvara

# Repeated, the repetitions of the press and of its floor interleaved, and the
# ratio taken of medians: other work on the machine slows some repetitions
# down, and would otherwise weigh on one side only.
build/default/bench/core_bench --benchmark_repetitions=15 --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true
build/default/bench/window_bench

# Whole processes on an X server of their own, without a window manager so
# that a window is mapped as soon as it asks; beside the empty window, the
# same window with one label shows what drawing any text at all costs.
number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb=$!
runtime_dir=$(mktemp -d)
state=build/default/bench-cups
cups_started=false
cleanup() {
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$number_file" "$runtime_dir"
  if $cups_started; then scripts/cups-test-printer.sh stop "$state"; fi
}
trap cleanup EXIT
for _ in $(seq 1 100); do [ -s "$number_file" ] && break; sleep 0.1; done
[ -s "$number_file" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=:$(head -n1 "$number_file") QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$runtime_dir \
  build/default/bench/startup_bench --runs 15 --targets 1.5,1.15 \
  Solvara=build/default/ui/solvara "empty window=build/default/bench/empty_window" \
  "one label=build/default/bench/one_label_window" \
  || echo "startup_bench gave no figures"
kill "$xvfb"

scripts/cups-test-printer.sh start "$state" >/dev/null
cups_started=true
build/default/bench/print_bench

scripts/web.sh >/dev/null
/usr/bin/python3 bench/web_bench.py build/web/solvara.html
scripts/lighthouse.sh build/web solvara.html
echo "(the same page as a site for a web host:)"
scripts/lighthouse.sh build/web/site ""
echo "(the native press: BM_ComputeTable of core_bench above)"
