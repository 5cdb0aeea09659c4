#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A second start brings the running game to the front and ends at once: the game is started,
# minimised, started again; the first window must be shown and active, the second copy gone
# with status 0, without a window of its own or a settings file.
# Usage: second_start.sh <vorlin binary> <resource folder> <artifact folder>
set -euo pipefail
bin=$(readlink -f "$1") rsc=$(readlink -f "$2") art=$3
. "$(dirname "$0")/common.sh"
e2e_begin second-start xdotool wmctrl import xwininfo
# The game's own home, so a game the developer is playing does not hold the lock.
# env runs in the work folder and becomes the game: $! of a run in the background is the
# game's own process id, the one the clean-up ends.
run_game() { HOME="$work" XDG_RUNTIME_DIR="$work" exec env -C "$work" "$bin"; }
game_windows() { xdotool search --onlyvisible --name '^Vorlin' 2>/dev/null || true; }
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }
minimised() { ! viewable "$wid"; }
front() { viewable "$wid" && [ "$(xdotool getactivewindow 2>/dev/null)" = "$wid" ]; }

(run_game) >"$art/second-start-first.log" 2>&1 &
first=$!
pids+=($first)
waitfor 5 eval '[ "$(readlink /proc/$first/exe)" = "$bin" ]' || fail "process $first is not the game"
waitfor 30 eval '[ -n "$(game_windows)" ]' || fail "no game window"
wid=$(game_windows | head -1)
sleep 0.5
xdotool windowminimize --sync "$wid"
waitfor 5 minimised || fail "the window did not minimise"

second_start "$art/second-start-second.log"
waitfor 5 front || fail "the first window is not back in front"
[ "$(game_windows | wc -l)" = 1 ] || fail "more than one game window"
kill -0 "$first" 2>/dev/null || fail "the first copy is gone"
[ ! -e "$work/Vorlinini.vrl" ] || fail "the second copy wrote the settings"
import -window root "$art/second-start.png"
echo "e2e: 1 passed, 0 failed"
