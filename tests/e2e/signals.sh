#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SIGTERM, SIGINT and SIGHUP end the game as closing its window does: the settings are saved
# with the mode chosen in this run, and the game ends with status 0. Each run starts from the
# file the one before saved and picks another mode from the menu.
# Usage: signals.sh <vorlin binary> <resource folder> <artifact folder>
set -euo pipefail
bin=$(readlink -f "$1") rsc=$(readlink -f "$2") art=$3
. "$(dirname "$0")/common.sh"
e2e_begin signals xdotool import od
game_window() { xdotool search --onlyvisible --name '^Vorlin' 2>/dev/null | head -1; }
titled() { xdotool getwindowname "$wid" 2>/dev/null | grep -q "$1"; }
running() { kill -0 "$game" 2>/dev/null; }

# signal, menu key of the mode to pick, its mode byte, a text of the title in that mode
# Each mode changes the title from the one before, so the title tells when the pick is done.
for run in "TERM n 1 Top.Score" "INT 2 3 ^Vorlin\$" "HUP n 1 Top.Score"; do
  set -- $run
  sig=$1 key=$2 mode=$3 title=$4
  # Its own home, so a game the developer is playing does not hold the lock.
  (cd "$work" && HOME="$work" XDG_RUNTIME_DIR="$work" exec "$bin") >"$art/signals-$sig.log" 2>&1 &
  game=$!
  pids+=($game)
  waitfor 30 eval '[ -n "$(game_window)" ]' || fail "no game window"
  wid=$(game_window)
  sleep 0.5
  xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
  xdotool key --window "$wid" alt+j
  sleep 0.3
  xdotool key "$key"
  waitfor 5 titled "$title" || fail "mode $mode not chosen: '$(xdotool getwindowname "$wid")'"
  kill -s "$sig" "$game"
  waitfor 10 eval '! running' || fail "SIG$sig did not end the game"
  set +e
  wait "$game"
  status=$?
  set -e
  [ "$status" = 0 ] || fail "SIG$sig: the game ended with status $status"
  [ "$(stat -c %s "$work/Vorlinini.vrl" 2>/dev/null)" = 22 ] || fail "SIG$sig: no 22-byte settings file"
  bytes=($(od -An -tu1 -v "$work/Vorlinini.vrl"))
  [ "${bytes[8]}" = "$mode" ] || fail "SIG$sig: mode byte ${bytes[8]}, expected $mode"
  echo "SIG$sig: saved mode $mode, status 0"
done
echo "e2e: 1 passed, 0 failed"
