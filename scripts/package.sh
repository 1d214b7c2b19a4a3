#!/usr/bin/env bash
# Builds the program and its Debian package, build/app/solvara_VERSION_ARCH.deb.
# Run-time dependencies are computed from the binary by dpkg-shlibdeps.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
if ! dpkg-query -W -f='${Status}' dpkg-dev 2>/dev/null | grep -q 'install ok installed'; then
  if [ "$(id -u)" -eq 0 ]; then apt-get install -y -qq dpkg-dev >/dev/null
  else sudo apt-get install -y -qq dpkg-dev >/dev/null; fi
fi
[ -f build/app/build.ninja ] || cmake --preset app >/dev/null
cmake --build --preset app
(cd build/app && cpack -G DEB)
ls build/app/solvara_*.deb
