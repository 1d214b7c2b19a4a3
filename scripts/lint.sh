#!/usr/bin/env bash
# The house habits as a test: every tracked C++ file formatted as
# .clang-format says, and clang-tidy (.clang-tidy) silent over the sources of
# core/, print/, ui/ and web/. Exits 0 when both are clean; otherwise names
# the files and the findings and exits 1.
#
#   scripts/lint.sh [BUILD_DIR]   BUILD_DIR: a configured build tree whose
#                                 compile_commands.json clang-tidy reads
#                                 (default build/default)
#
# The formatter is pinned: clang-format 15.0.0 as the npm package
# clang-format@1.8.0 ships it (a static binary), which scripts/setup.sh test
# fetches, so Debian 12 and 13, whose own clang-format versions lay out some
# constructs differently, give the same verdict. clang-tidy is the release's
# own: the checks kept are clean on both. Nothing here needs the network.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/default}
formatter=build/tools/clang-format-15/bin/linux_x64/clang-format

sources() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -- "$@"
  else
    # A copy without git (an unpacked source package).
    local pattern
    for pattern in "$@"; do find . -path "./build" -prune -o -path "./$pattern" -type f -print; done \
      | sed 's|^\./||' | sort -u
  fi
}

if [ ! -x "$formatter" ]; then
  echo "lint: the pinned formatter is not in $formatter: scripts/setup.sh test fetches it" >&2
  exit 1
fi

status=0

mapfile -t cxx < <(sources '*.cpp' '*.h')
unformatted=()
for file in "${cxx[@]}"; do
  "$formatter" --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "lint: not formatted as .clang-format says (fix with: $formatter -i FILE):"
  for file in "${unformatted[@]}"; do
    echo "  $file"
    "$formatter" --dry-run "$file" 2>&1 | grep -E '^[^ ].*: (warning|error):' | head -n 5 | sed 's/^/    /'
  done
  status=1
fi

if [ ! -f "$build/compile_commands.json" ]; then
  echo "lint: $build/compile_commands.json missing: configure first (cmake --preset default)" >&2
  exit 1
fi
mapfile -t units < <(sources 'core/*.cpp' 'print/*.cpp' 'ui/*.cpp' 'web/*.cpp')
findings=$(mktemp)
trap 'rm -f "$findings"' EXIT
# Two at a time, each file's findings written out whole.
printf '%s\n' "${units[@]}" | xargs -P 2 -I{} sh -c \
  'out=$(clang-tidy --quiet -p "$1" "$2" 2>&1) || printf "%s\n" "$out"' sh "$build" {} >"$findings" || true
if grep -qE ': (warning|error):' "$findings"; then
  echo "lint: clang-tidy findings:"
  grep -E ': (warning|error):' "$findings" | sort -u | sed 's/^/  /'
  status=1
fi

if [ $status -eq 0 ]; then
  echo "lint: ${#cxx[@]} files formatted, ${#units[@]} sources clean under clang-tidy $(clang-tidy --version | grep -o 'version [0-9.]*' | head -n 1)"
fi
exit $status
