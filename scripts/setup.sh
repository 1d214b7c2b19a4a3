#!/usr/bin/env bash
# Installs, from Debian 12's packages, everything Solvara needs to build and
# run ("run") or also to be tested ("test"). Quick when all is already there.
set -euo pipefail

purpose=${1:-run}

build_packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libcups2-dev libxcb1-dev
  fonts-liberation locales
)
run_packages=(xvfb xauth x11-utils imagemagick)
test_packages=(
  libgtest-dev libbenchmark-dev
  cups cups-client printer-driver-cups-pdf poppler-utils
  desktop-file-utils appstream dpkg-dev
  openbox metacity
)

packages=("${build_packages[@]}" "${run_packages[@]}")
[ "$purpose" = test ] && packages+=("${test_packages[@]}")

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

# The tests read number texts under an Italian locale as well as under C.
if [ "$purpose" = test ] && ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
  echo "Generating the it_IT.UTF-8 locale"
  as_root sed -i 's/^# *\(it_IT\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^it_IT.UTF-8 UTF-8' /etc/locale.gen || echo 'it_IT.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
