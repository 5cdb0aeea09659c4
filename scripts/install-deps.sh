#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages Vorlin needs, only those that are missing; sudo when not root.
# Usage: install-deps.sh [run|test|fuzz]
#   run   building and running the game (the default)
#   test  run, plus the tests, benchmarks and the headless desktop they drive
#   fuzz  test, plus clang and its libFuzzer runtime
set -euo pipefail

# VORLIN_FUZZ=1 with no argument: the fuzz set, as older callers ask for it.
default=run
[ "${VORLIN_FUZZ:-0}" = 1 ] && default=fuzz
set_name=${1:-$default}
run=(
  make cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev libsdl2-dev libfontconfig-dev
  # run time: the stand-in of the design font (DejaVu Sans Condensed), Qt's own French texts
  fonts-dejavu-core fonts-dejavu-extra qt6-translations-l10n
)
test=(
  libgtest-dev libgmock-dev libbenchmark-dev
  # the game headless, its screenshots, the package and its metadata
  xvfb xdotool x11-utils x11-xkb-utils imagemagick openbox wmctrl appstream dpkg-dev
)
fuzz=(clang libclang-rt-14-dev)
case "$set_name" in
  run) packages=("${run[@]}") ;;
  test) packages=("${run[@]}" "${test[@]}") ;;
  fuzz) packages=("${run[@]}" "${test[@]}" "${fuzz[@]}") ;;
  *) echo "usage: $0 [run|test|fuzz]" >&2; exit 2 ;;
esac

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
