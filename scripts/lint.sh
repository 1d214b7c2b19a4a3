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
# clang-format@1.8.0 ships it (a static binary), checked against the
# package's recorded digest, so Debian 12 and 13, whose own clang-format
# versions lay out some constructs differently, give the same verdict.
# clang-tidy is the release's own: the checks kept are clean on both.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/default}
tools=build/tools
formatter_package=clang-format@1.8.0
formatter_digest=pK8gzfu55/lHzIpQ1givIbWfn3eXnU7SfxqIwVgnn5jEM6j4ZJYjpFqFs4iSBPNedzRMmfjYjuQhu657WAXHXw==
formatter=$tools/clang-format-15/bin/linux_x64/clang-format

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

fetch_formatter() {
  [ -x "$formatter" ] && return 0
  mkdir -p "$tools"
  local scratch
  scratch=$(mktemp -d)
  # npm from the machine's packages; its cache kept apart from the user's.
  (cd "$scratch" && /usr/bin/npm pack --silent --cache "$scratch/cache" "$formatter_package" >/dev/null)
  local tarball=("$scratch"/clang-format-*.tgz)
  local digest
  digest=$(/usr/bin/python3 -c 'import base64, hashlib, sys
print(base64.b64encode(hashlib.sha512(open(sys.argv[1], "rb").read()).digest()).decode())' "${tarball[0]}")
  if [ "$digest" != "$formatter_digest" ]; then
    echo "lint: $formatter_package does not have the digest recorded here" >&2
    rm -rf "$scratch"
    return 1
  fi
  rm -rf "$tools/clang-format-15"
  mkdir -p "$tools/clang-format-15"
  tar -xzf "${tarball[0]}" -C "$tools/clang-format-15" --strip-components=1 package/bin/linux_x64/clang-format
  rm -rf "$scratch"
}

status=0

fetch_formatter
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
