#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages Vorlin needs, only those that are missing; sudo when not root.
# Usage: install-deps.sh [run|deb|test|release|fuzz]
#   run      building and running the game (the default)
#   deb      run, plus building its Debian package (make deb)
#   test     run, plus the tests, benchmarks and the headless desktops they drive (make test)
#   release  deb and test, plus checking the package and installing it into a pristine root
#            (make check-release)
#   fuzz     test, plus clang and its libFuzzer runtime
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
  # a native Wayland window on a Wayland desktop
  qt6-wayland
)
# build-essential: what dpkg-buildpackage checks for besides debian/control's list
deb=(build-essential debhelper dpkg-dev)
test=(
  libgtest-dev libgmock-dev libbenchmark-dev
  # the game headless, its screenshots, the package and its metadata
  xvfb xdotool x11-utils x11-xkb-utils imagemagick openbox wmctrl appstream
  # the game on a Wayland compositor, weston on X11; the dock that hands the game a token
  weston wayland-utils libwayland-dev libwayland-bin wayland-protocols
  # GNOME's and KDE's compositors nested in the test's Xvfb (breeze: KWin's frames), and
  # their X11 window managers, on a session bus of their own
  mutter kwin-wayland kwin-x11 breeze dbus-daemon
)
# lintian; hardening-check (devscripts); file; the minimal root of tests/e2e/pristine.sh
release=(lintian devscripts file debootstrap)
fuzz=(clang libclang-rt-14-dev)
case "$set_name" in
  run) packages=("${run[@]}") ;;
  deb) packages=("${run[@]}" "${deb[@]}") ;;
  test) packages=("${run[@]}" "${test[@]}") ;;
  release) packages=("${run[@]}" "${deb[@]}" "${test[@]}" "${release[@]}") ;;
  fuzz) packages=("${run[@]}" "${test[@]}" "${fuzz[@]}") ;;
  *) echo "usage: $0 [run|deb|test|release|fuzz]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "install-deps: installing ${missing[*]}"
# apt's own lines, so a slow download shows its progress.
$sudo apt-get update
# sudo keeps no environment: the frontend goes through env.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
