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
# Both tools are the release's own (clang-format and clang-tidy 14 on Debian
# 12, 19 on Debian 13). .clang-format spells out every choice that differs
# between their defaults, and the tree it formats is laid out identically by
# both, so either release gives the same verdict; the checks .clang-tidy
# keeps are clean on both. Nothing here needs the network.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/default}
formatter=clang-format

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
mapfile -t units < <(sources 'core/*.cpp' 'print/*.cpp' 'ui/*.cpp' 'web/*.cpp' | grep -vx 'web/bindings.cpp')
findings=$(mktemp)
trap 'rm -f "$findings"' EXIT
# Two at a time, each file's findings written out whole.
printf '%s\n' "${units[@]}" | xargs -P 2 -I{} sh -c \
  'out=$(clang-tidy --quiet -p "$1" "$2" 2>&1) || printf "%s\n" "$out"' sh "$build" {} >"$findings" || true
# The browser edition's bindings compile only for WebAssembly: read with the
# flags emscripten compiles with (less its code generator's own options).
if ! command -v em++ >/dev/null; then
  echo "lint: em++ missing (scripts/setup.sh test installs emscripten)" >&2
  exit 1
fi
read -ra wasm_flags < <(em++ --cflags | sed 's/-mllvm [^ ]*//g')
units+=(web/bindings.cpp)
clang-tidy --quiet web/bindings.cpp -- "${wasm_flags[@]}" -std=c++20 -Icore -Iweb >>"$findings" 2>&1 || true
if grep -qE ': (warning|error):' "$findings"; then
  echo "lint: clang-tidy findings:"
  grep -E ': (warning|error):' "$findings" | sort -u | sed 's/^/  /'
  status=1
fi

if [ $status -eq 0 ]; then
  echo "lint: ${#cxx[@]} files formatted (clang-format $(clang-format --version | grep -o 'version [0-9.]*' | head -n 1 | cut -d' ' -f2)), ${#units[@]} sources clean under clang-tidy $(clang-tidy --version | grep -o 'version [0-9.]*' | head -n 1 | cut -d' ' -f2)"
fi
exit $status
