#!/usr/bin/env bash
# Builds the program and its Debian package, build/app/solvara_VERSION_ARCH.deb.
# Run-time dependencies are computed from the binary by dpkg-shlibdeps.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh package
[ -f build/app/build.ninja ] || cmake --preset app >/dev/null
cmake --build --preset app
(cd build/app && cpack -G DEB)
ls build/app/solvara_*.deb
