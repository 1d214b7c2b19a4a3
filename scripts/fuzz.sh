#!/usr/bin/env bash
# Builds the libFuzzer target with clang and runs it for SECONDS (60 by
# default), with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

command -v clang++ >/dev/null || {
  if [ "$(id -u)" -eq 0 ]; then apt-get install -y -qq clang >/dev/null; else sudo apt-get install -y -qq clang >/dev/null; fi
}
[ -f build/fuzz/build.ninja ] || cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

for target in fuzz_texts; do
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  printf '38,1217' >"$corpus/opening-latitude"
  printf '38,1217\n23,45\n0\n-23,45' >"$corpus/worked-example"
  echo "== $target, $seconds s"
  build/fuzz/tests/fuzz/$target -max_total_time="$seconds" -max_len=512 \
    -artifact_prefix=build/fuzz/ "$corpus" 2>&1 | grep -E '^#[0-9]+.*DONE|Done|ERROR|SUMMARY|crash-' || true
done
