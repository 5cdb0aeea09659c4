#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A game played from the outside: the real binary under Xvfb with a window manager, driven by
# xdotool, checked from screenshots, window titles and the settings file.
# Usage: play.sh <vorlin binary> <resource folder> <artifact folder>
set -euo pipefail
bin=$(readlink -f "$1") rsc=$(readlink -f "$2") art=$3
. "$(dirname "$0")/common.sh"
e2e_begin play xdotool wmctrl import convert

game_window() { xdotool search --onlyvisible --name '^Vorlin' 2>/dev/null | head -1; }
has_game_window() { [ -n "$(game_window)" ]; }
has_record_window() { [ -n "$(xdotool search --onlyvisible --name 'RECORD' 2>/dev/null | head -1)" ]; }
title() { xdotool getwindowname "$1"; }
# Pixel colour at position (x, y) of the last snapshot of the game window, as "r,g,b".
pixel() {
  local x=$2 y=$3
  convert "$art/last.png" -format "%[fx:int(255*p{$x,$y}.r+0.5)],%[fx:int(255*p{$x,$y}.g+0.5)],%[fx:int(255*p{$x,$y}.b+0.5)]" info:
}
snap() { import -window "$wid" "$art/last.png"; }

start_game() {
  # Its own runtime folder, so a game the developer is playing does not hold the lock.
  (cd "$work" && HOME="$work" TMPDIR="$work" XDG_RUNTIME_DIR="$work" exec "$bin") >"$art/vorlin.log" 2>&1 &
  gamepid=$!
  pids+=($gamepid)
  waitfor 30 has_game_window || fail "no game window"
  wid=$(game_window)
  sleep 0.5
}

# ---- first run -------------------------------------------------------------------------
start_game
[ "$(title "$wid")" = "Vorlin" ] || fail "first-run title is '$(title "$wid")'"
shot first-run
# The menu bar's height, from the client area: the playfield's grey starts 80 px below it.
snap
menu=""
for m in $(seq 15 40); do
  if [ "$(pixel "$wid" 20 $((80 + m)))" = "198,195,198" ] && [ "$(pixel "$wid" 20 $((79 + m)))" != "198,195,198" ]; then
    menu=$m; break
  fi
done
[ -n "$menu" ] || fail "playfield not found at (15, 80) under the menu bar"
echo "menu bar: $menu px"
# Both start places: black at (95, 125), red at (375, 125) of the playfield.
[ "$(pixel "$wid" $((15 + 95)) $((menu + 80 + 125)))" = "0,0,0" ] || fail "black start place not drawn"
[ "$(pixel "$wid" $((15 + 375)) $((menu + 80 + 125)))" = "255,0,0" ] || fail "red start place not drawn"

# One player, black: Jeux > 1 Joueur le Noir.
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
xdotool key --window "$wid" alt+j
sleep 0.3
xdotool key n
sleep 0.5
waitfor 3 sh -c "xdotool getwindowname $wid | grep -q 'Top Score'" || fail "one-player title has no top score: '$(title "$wid")'"

# Start: the button sits in the score panel at client (95 + 169, 8 + 16), 105 x 41.
bx=$((95 + 169 + 52)) by=$((menu + 8 + 16 + 20))
button() { snap; convert "$art/last.png" -crop 105x41+264+$((menu + 24)) -format '%#' info:; }
before=$(button)
xdotool mousemove --window "$wid" $bx $by click 1
button_changed() { [ "$(button)" != "$before" ]; }
waitfor 5 button_changed || fail "the countdown does not show on the button"
shot countdown
# The first step lands 10 px right of the black start place.
band_drawn() { snap; [ "$(pixel "$wid" $((15 + 95 + 10)) $((menu + 80 + 125)))" = "0,0,0" ]; }
waitfor 10 band_drawn || fail "no black band on the playfield"
steer_into_bottom_edge

# The crash beats the top score of 0: the record window asks for initials.
waitfor 20 has_record_window || fail "no record window"
rec=$(xdotool search --onlyvisible --name 'RECORD' | head -1)
[ "$(title "$rec")" = "      Vorlin    RECORD !" ] || fail "record window caption '$(title "$rec")'"
shot record
xdotool windowactivate --sync "$rec" >/dev/null 2>&1 || true
xdotool type --delay 50 abc
xdotool key Return
waitfor 5 eval '! has_record_window' || fail "record window still open"
t=$(title "$wid")
case "$t" in *"Top Score :     Abc "*%) ;; *) fail "title after the record: '$t'" ;; esac
score=${t##* }
echo "top score: $score"
shot top-score

# Closed by the window manager: the settings are saved.
wmctrl -c "Vorlin" || fail "wmctrl could not close the window"
waitfor 10 eval '! has_game_window' || fail "the window did not close"
game_running() { kill -0 "$gamepid" 2>/dev/null; }
waitfor 10 eval '! game_running' || fail "the game did not end"
[ -f "$work/Vorlinini.vrl" ] || fail "no settings file"
size=$(stat -c %s "$work/Vorlinini.vrl")
[ "$size" = 22 ] || fail "settings file is $size bytes"
bytes=($(od -An -tu1 -v "$work/Vorlinini.vrl"))
echo "settings: ${bytes[*]}"
[ "${bytes[8]}" = 1 ] || fail "mode byte ${bytes[8]}, expected 1"
[ "${bytes[9]}" = $((255 - 65)) ] && [ "${bytes[13]}" = $((98 + 100)) ] && [ "${bytes[17]}" = $((99 + 99)) ] ||
  fail "initials not coded as Abc"
[ "${bytes[21]}%" = "$score" ] || fail "record byte ${bytes[21]} against title $score"

# ---- second run: the saved mode and top score ---------------------------------------------
start_game
t=$(title "$wid")
case "$t" in *"Abc $score") ;; *) fail "second run title '$t'" ;; esac
shot second-run
wmctrl -c "Vorlin"
waitfor 10 eval '! has_game_window' || fail "the second run did not end"
echo "e2e: 1 passed, 0 failed"
