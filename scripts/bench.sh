#!/usr/bin/env bash
# Builds and runs the benchmarks: computation, window start, and printing to
# a CUPS PDF queue set up for the run. They report figures, nothing more.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
[ -f build/default/build.ninja ] || cmake --preset default >/dev/null
cmake --build --preset default --target core_bench window_bench print_bench

build/default/bench/core_bench
build/default/bench/window_bench
state=build/default/bench-cups
scripts/cups-test-printer.sh start "$state" >/dev/null
trap 'scripts/cups-test-printer.sh stop "$state"' EXIT
build/default/bench/print_bench
