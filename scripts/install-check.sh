#!/usr/bin/env bash
# Installs the built tree into a temporary prefix and validates what a
# desktop finds there; then builds the Debian source and binary packages with
# scripts/package.sh (its own tests left to the suite), checks them with
# lintian down to the pedantic tags, checks that the package holds every file
# the tree installs, and starts the unpacked program under Xvfb until its
# window is mapped. Usage: install-check.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
id=org.solvara.Solvara

fail() { echo "FAIL: $*"; exit 1; }
for tool in desktop-file-validate appstreamcli lintian dpkg-buildpackage dpkg-deb Xvfb xwininfo xprop; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh test installs it)"
done

cmake --install "$build" --prefix "$work/prefix" >/dev/null
share=$work/prefix/share
desktop-file-validate "$share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "metainfo"
for icon in scalable/apps/$id.svg 32x32/apps/$id.png; do
  [ -s "$share/icons/hicolor/$icon" ] || fail "no icon $icon"
done
grep -qx "Icon=$id" "$share/applications/$id.desktop" || fail "the entry names another icon"
[ -x "$work/prefix/bin/solvara" ] || fail "no program"
[ -x "$work/prefix/libexec/solvara/solvara-print" ] || fail "no print helper"
# The window loads no print system: only its print helper does.
! ldd "$work/prefix/bin/solvara" | grep -q libcups || fail "the window loads libcups"

# The packages, built in a folder of their own that stays between runs so
# that ccache, where there is one, finds the same paths again.
out=$build/debian-package
command -v ccache >/dev/null && export CMAKE_CXX_COMPILER_LAUNCHER=ccache
DEB_BUILD_OPTIONS=nocheck "$root/scripts/package.sh" "$out" >"$work/package.log" 2>&1 \
  || { tail -20 "$work/package.log"; fail "scripts/package.sh"; }
deb=$(ls "$out"/solvara_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6gui6 libcups2 fonts-liberation; do
  grep -q "$needed" <<<"$depends" || fail "the package does not depend on $needed"
done
# Debian's own checker on the source and the binary package: nothing but
# information. Debian 12's lintian does not know Debian 13's Standards-Version.
lintian --pedantic --display-info --fail-on error,warning,pedantic \
  --suppress-tags newer-standards-version "$out"/solvara_*.changes || fail "lintian"

# Every file the tree installs is in the package, under /usr.
dpkg-deb -x "$deb" "$work/unpacked"
(cd "$work/prefix" && find . -type f -o -type l) | while read -r f; do
  [ -e "$work/unpacked/usr/$f" ] || fail "the package lacks /usr/${f#./}"
done
for f in usr/share/doc/solvara/copyright usr/share/doc/solvara/changelog.gz usr/share/man/man1/solvara.1.gz; do
  [ -e "$work/unpacked/$f" ] || fail "the package lacks /$f"
done

# The unpacked program opens its window: mapped on an X display in time.
"$root/scripts/xvfb-smoke.sh" "$work/unpacked/usr/bin/solvara" "$work/shots" 0.5 \
  || fail "the unpacked program showed no window"
echo "PASS"
