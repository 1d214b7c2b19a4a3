#!/usr/bin/env bash
# Installs, from Debian's packages (Debian 12 or 13), everything Solvara
# needs to build and run ("run"), to build its browser edition ("web"), to
# build its Debian package ("package", with the Build-Depends of
# debian/control) or to be tested ("test", which includes all three). Quick
# when all is already there.
set -euo pipefail
cd "$(dirname "$0")/.."

purpose=${1:-run}

build_packages=(
  g++ cmake ninja-build pkgconf
  qt6-base-dev libgl-dev libcups2-dev libxcb1-dev
  fonts-liberation locales
)
run_packages=(xvfb xauth x11-utils imagemagick)
package_packages=(dpkg-dev file)
# emscripten brings its own clang, node and Debian's node modules.
web_packages=(emscripten python3 python3-fonttools python3-brotli fonts-liberation librsvg2-bin)
test_packages=(
  libgtest-dev libbenchmark-dev libxcb-damage0-dev
  cups cups-client printer-driver-cups-pdf poppler-utils
  desktop-file-utils appstream lintian
  openbox metacity kwin-x11 kwin-style-breeze x11-xserver-utils xdotool xclip python3
  clang-format clang-tidy
  # The browser edition's three engines: Chromium (also through its
  # WebDriver, for the pictures), Firefox and WebKitGTK, driven from node
  # with the npm packages package-lock.json pins.
  chromium chromium-driver python3-selenium firefox-esr webkit2gtk-driver libwebkit2gtk-4.1-0
  nodejs npm
)

packages=("${build_packages[@]}" "${run_packages[@]}")
case "$purpose" in
run) ;;
web) packages=("${web_packages[@]}") ;;
package) packages+=("${package_packages[@]}") ;;
test) packages+=("${package_packages[@]}" "${web_packages[@]}" "${test_packages[@]}") ;;
*) echo "usage: setup.sh [run|web|package|test]" >&2; exit 2 ;;
esac

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  # npm may come with another build of Node.js than Debian's, whose package
  # then stands in for Debian's npm.
  [ "$p" = npm ] && [ -x /usr/bin/npm ] && continue
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

updated=false
update_once() {
  $updated || as_root apt-get update -qq
  updated=true
}
[ ${#missing[@]} -gt 0 ] && update_once

# The window's narrow face is part of fonts-liberation up to Debian 12 and a
# package of its own from Debian 13 on.
narrow=fonts-liberation-sans-narrow
if [ "$(dpkg-query -W -f='${Status}' "$narrow" 2>/dev/null)" != "install ok installed" ] \
   && apt-cache show "$narrow" >/dev/null 2>&1; then
  missing+=("$narrow")
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  update_once
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

# The Debian package's Build-Depends, as debian/control names them.
if { [ "$purpose" = package ] || [ "$purpose" = test ]; } && ! dpkg-checkbuilddeps >/dev/null 2>&1; then
  echo "Installing the Debian package's Build-Depends"
  update_once
  as_root env DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq --no-install-recommends "$PWD" >/dev/null
  dpkg-checkbuilddeps
fi

# The tests read number texts under an Italian locale as well as under C.
if [ "$purpose" = test ] && ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
  echo "Generating the it_IT.UTF-8 locale"
  as_root sed -i 's/^# *\(it_IT\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^it_IT.UTF-8 UTF-8' /etc/locale.gen || echo 'it_IT.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi

# The browser tests' and benchmarks' npm packages, exactly as the lock file
# pins them; again only when the lock file changed since.
if [ "$purpose" = test ] && ! cmp -s package-lock.json node_modules/.installed-from; then
  echo "Installing the pinned npm packages"
  /usr/bin/npm ci --no-audit --no-fund --loglevel=error
  cp package-lock.json node_modules/.installed-from
fi
