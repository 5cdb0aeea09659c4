#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/check-structure.sh passes on the tree, and on a copy with one upward include and one
# system call planted it fails, naming both by file and line.
set -euo pipefail
root=$1
check="$root/scripts/check-structure.sh"

"$check" "$root" >/dev/null

copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
cp -r "$root/src" "$copy/"
sed -i '2a #include "game/Game.h"' "$copy/src/base/Paths.cpp"
echo 'static const auto home = qgetenv("HOME");' >>"$copy/src/records/Cp1252.cpp"
line=$(wc -l <"$copy/src/records/Cp1252.cpp")

if "$check" "$copy" 2>"$copy/report"; then
  echo "the check passed a tree with an upward include and a system call" >&2
  exit 1
fi
cat "$copy/report"
grep -q "^src/base/Paths.cpp:3: includes game/Game.h, upwards" "$copy/report"
grep -q "^src/records/Cp1252.cpp:$line: the system" "$copy/report"
[ "$(grep -c '^src/' "$copy/report")" -eq 2 ]
