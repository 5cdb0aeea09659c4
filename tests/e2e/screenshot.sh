#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The picture of the README and the AppStream metadata: a two-player game in progress, the
# game's window alone, under Xvfb with a window manager. `make screenshot` refreshes it.
# Usage: screenshot.sh <vorlin binary> <resource folder> <output PNG>
set -euo pipefail
bin=$(readlink -f "$1") rsc=$(readlink -f "$2") out=$3
for tool in Xvfb openbox xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is not installed"; exit 1; }
done
art=$(mktemp -d)
. "$(dirname "$0")/common.sh"
before_cleanup() { rm -rf "$art"; }
e2e_begin screenshot
fail() { echo "screenshot: $*"; exit 1; }

# A first run (no settings file): two players, the middle speed.
(cd "$work" && HOME="$work" TMPDIR="$work" exec "$bin") >"$work/vorlin.log" 2>&1 &
pids+=($!)
wid=""
for _ in $(seq 300); do
  wid=$(xdotool search --onlyvisible --name '^Vorlin' 2>/dev/null | head -1) && [ -n "$wid" ] && break
  sleep 0.1
done
[ -n "$wid" ] || fail "no game window"
sleep 0.5
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true

# The menu bar's height: the grey playfield starts 80 px below it, 15 px from the left.
import -window "$wid" "$work/shot.png"
grey() { [ "$(convert "$work/shot.png" -format "%[pixel:p{20,$1}]" info:)" = "srgb(198,195,198)" ]; }
menu=""
for m in $(seq 15 40); do
  if grey $((80 + m)) && ! grey $((79 + m)); then menu=$m; break; fi
done
[ -n "$menu" ] || fail "playfield not found under the menu bar"

# Start sits in the score panel (95, 8) at (104, 16), 105 x 41 px, in the two-player layout.
xdotool mousemove --window "$wid" $((95 + 104 + 52)) $((menu + 8 + 16 + 20)) click 1
xdotool mousemove --window "$wid" 5 5
# The countdown takes some 0.6 s. Then a turn each, away from each other; only the last key
# pressed counts, for both trails, so each key is held (repeated) for a few steps.
sleep 0.8
hold() {
  local end=$(($(date +%s%N) + $2 * 1000000))
  while [ "$(date +%s%N)" -lt $end ]; do xdotool key "$1"; sleep 0.03; done
}
hold Down 250; hold z 250; hold Right 250; hold q 300
import -window "$wid" "$work/shot.png"
convert "$work/shot.png" -strip -dither None -colors 32 -define png:compression-level=9 "PNG8:$out"
echo "screenshot: $out, $(identify -format '%wx%h' "$out"), $(stat -c %s "$out") bytes"
