#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from debian/ the way Debian does (dpkg-buildpackage -us -uc -b),
# on a copy of the source tree, so the tree stays clean and the .deb, its -dbgsym and the
# .buildinfo/.changes land in the output folder instead of the tree's parent.
# Usage: build-deb.sh [output folder, default build/deb]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$src/build/deb}" && cd "${1:-$src/build/deb}" && pwd)
version=$(dpkg-parsechangelog -l "$src/debian/changelog" -S Version)
tree=$out/vorlin-${version%-*}
rm -rf "$tree" "$out"/vorlin_* "$out"/vorlin-dbgsym_*
mkdir -p "$tree"
# The files git knows and those it would add (a build, the game's settings file and other
# ignored files stay out); a tree without git is copied whole, less its builds.
if git -C "$src" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  (cd "$src" && git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf -) | tar -C "$tree" -xf -
else
  (cd "$src" && tar --exclude=./build --exclude='./obj-*' -cf - .) | tar -C "$tree" -xf -
fi
cd "$tree"
# A compiler launcher (ccache, with a base folder) hands the compiler rewritten paths: the
# debug information, and with it the build id in the binary, would then depend on the folder.
unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER
dpkg-buildpackage -us -uc -b
echo "build-deb: $(ls "$out"/vorlin_*.deb)"
