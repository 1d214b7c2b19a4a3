#!/usr/bin/env bash
# Installs the built tree into a temporary prefix and validates what a
# desktop finds there, then builds the Debian package, unpacks it and starts
# the unpacked program offscreen. Usage: install-check.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
id=org.solvara.Solvara

fail() { echo "FAIL: $*"; exit 1; }

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

(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null) || fail "cpack"
deb=$(ls "$work"/package/solvara_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6gui6 libcups2 fonts-liberation; do
  grep -q "$needed" <<<"$depends" || fail "the package does not depend on $needed"
done
# Debian's own checker: no error, no warning.
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning "$deb" || fail "lintian"
fi
dpkg-deb -x "$deb" "$work/unpacked"
for f in usr/bin/solvara usr/libexec/solvara/solvara-print usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
         usr/share/doc/solvara/copyright usr/share/man/man1/solvara.1.gz; do
  [ -e "$work/unpacked/$f" ] || fail "the package lacks /$f"
done

# Still running after three seconds: it started and is waiting for the user.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$work/unpacked/usr/bin/solvara" || status=$?
[ "$status" -eq 124 ] || fail "the unpacked program ended with status $status"
echo "PASS"
