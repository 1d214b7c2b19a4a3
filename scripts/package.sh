#!/usr/bin/env bash
# Builds Solvara's Debian source and binary packages with dpkg-buildpackage,
# from a copy of the project's files in OUT_DIR/solvara-VERSION; the .dsc,
# .tar.xz, .deb, .buildinfo and .changes land in OUT_DIR (default build/).
# Installs the Build-Depends first (scripts/setup.sh, through sudo when not
# root).
# DEB_BUILD_OPTIONS is passed on (nocheck leaves the build's tests out).
# Usage: package.sh [OUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build}
mkdir -p "$out"
out=$(cd "$out" && pwd)
cd "$root"

scripts/setup.sh package

version=$(dpkg-parsechangelog -S Version)
src=$out/solvara-$version
rm -rf "$src"
mkdir -p "$src"
# The source package holds the project's own files, not its build folders.
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git -C "$root" ls-files -z --cached --others --exclude-standard \
    | while IFS= read -r -d '' f; do
        if [ -e "$f" ] || [ -L "$f" ]; then cp --parents -P -- "$f" "$src/"; fi
      done
else
  tar -C "$root" --exclude=./build -cf - . | tar -C "$src" -xf -
fi
rm -f "$out"/solvara_"$version"*.{dsc,tar.xz,deb,buildinfo,changes} "$out"/solvara-dbgsym_"$version"*.deb
(cd "$src" && dpkg-buildpackage -us -uc)
rm -rf "$src"
ls "$out"/solvara_"$version".dsc "$out"/solvara_"$version"_*.deb
