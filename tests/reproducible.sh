#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# On demand (not part of the test suite, it builds the package twice): two clean clones of
# this repository's HEAD in folders of different names and depths, the package built in each
# by packaging/build-deb.sh; the .deb and the -dbgsym .deb must be byte-identical. On a
# difference, diffoscope (when installed) says where.
# Usage: tests/reproducible.sh [work folder, default a new one under /var/tmp]
set -euo pipefail
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
work=${1:-$(mktemp -d /var/tmp/vorlin-repro.XXXXXX)}
a=$work/a/vorlin b=$work/elsewhere/b-much/longer/vorlin-clone
rm -rf "$work/a" "$work/elsewhere"
for dir in "$a" "$b"; do
  git clone -q --no-local "$repo" "$dir"
  echo "reproducible: building in $dir"
  "$dir/packaging/build-deb.sh" "$dir/build/deb" >"$dir.log" 2>&1 || { tail -30 "$dir.log"; exit 1; }
done
status=0
for deb in "$a"/build/deb/*.deb; do
  name=$(basename "$deb")
  if cmp "$deb" "$b/build/deb/$name"; then
    echo "reproducible: $name identical ($(sha256sum <"$deb" | cut -c1-16))"
  else
    status=1
    command -v diffoscope >/dev/null && diffoscope "$deb" "$b/build/deb/$name" | head -100
  fi
done
[ "$status" = 0 ] && echo "reproducible: 1 passed, 0 failed" || echo "reproducible: 0 passed, 1 failed"
exit "$status"
