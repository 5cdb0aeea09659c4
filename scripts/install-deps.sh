#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Vorlin need.
# Only what is missing is installed; sudo is used when not root.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev libsdl2-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # run time: a font for the French captions, the joystick settings tool
  fonts-dejavu-core jstest-gtk
  # looking at the game headless
  xvfb xdotool imagemagick openbox wmctrl appstream
)
if [ "${VORLIN_FUZZ:-0}" = 1 ]; then packages+=(clang libclang-rt-14-dev); fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
