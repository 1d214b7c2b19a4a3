#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (60 by
# default), with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

command -v clang++ >/dev/null || {
  if [ "$(id -u)" -eq 0 ]; then apt-get install -y -qq clang libclang-rt-14-dev >/dev/null; else sudo apt-get install -y -qq clang libclang-rt-14-dev >/dev/null; fi
}
[ -f build/fuzz/build.ninja ] || cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# fuzz_texts: box texts, from typical ones and the marks of the degree forms.
corpus=build/fuzz/corpus/fuzz_texts
mkdir -p "$corpus"
printf '38,1217' >"$corpus/opening-latitude"
printf '38,1217|23,45|0|-23,45' >"$corpus/worked-example"
printf '38\xc2\xb0 07\xe2\x80\xb2 18,5\xe2\x80\xb3 N|\xe2\x88\x9223\xc2\xba26'"'"'|23\xc2\xb027'"'"'18"S' >"$corpus/map-forms"
# A spreadsheet cell, a word processor's curly marks, a forgotten comma.
printf '38,1217\n|23\xc2\xb027\xe2\x80\x9918\xe2\x80\x9d N\r\n|381217|-90|95' >"$corpus/pasted-forms"
# The marks and blanks of the degree forms, as UTF-8 bytes.
printf '"%s"\n' '\xc2\xb0' '\xc2\xba' "'" "''" '\xe2\x80\xb2' '\"' '\xe2\x80\xb3' '\xe2\x88\x92' \
  '\xe2\x80\x99' '\xca\xb9' '\xe2\x80\x9d' '\xca\xba' '\xe2\x80\x99\xe2\x80\x99' \
  '\xc2\xa0' '\xe2\x80\xaf' '\xe2\x80\x89' '\x0a' '\x0d' '\xc2\x85' '\xe3\x80\x80' '\xe2\x80\xa8' \
  N S 90 '|' >build/fuzz/box_texts.dict

# fuzz_request: the helper's input, from the window's opening request, which
# the target writes itself, and the lengths at the edges of a size_t.
mkdir -p build/fuzz/corpus/fuzz_request
SOLVARA_FUZZ_SEED=build/fuzz/corpus/fuzz_request/opening build/fuzz/tests/fuzz/fuzz_request
# The same request with one box's length spelt with a leading zero, which the
# helper must refuse as it refuses it in the frame.
tail -n +2 build/fuzz/corpus/fuzz_request/opening | sed '1s/^Lat 7$/Lat 07/' >build/fuzz/corpus/fuzz_request/leading-zero
printf '"%s"\n' 18446744073709551615 18446744073709551616 16777216 >build/fuzz/request.dict

run() { # TARGET MAX_LEN [LIBFUZZER FLAGS]
  local target=$1 max_len=$2
  shift 2
  echo "== $target, $seconds s"
  build/fuzz/tests/fuzz/$target -max_total_time="$seconds" -max_len="$max_len" \
    -artifact_prefix=build/fuzz/ "$@" "build/fuzz/corpus/$target" 2>&1 | grep -E '^#[0-9]+.*DONE|Done|ERROR|SUMMARY|crash-' || true
}
run fuzz_texts 512 -dict=build/fuzz/box_texts.dict
run fuzz_request 4096 -dict=build/fuzz/request.dict
