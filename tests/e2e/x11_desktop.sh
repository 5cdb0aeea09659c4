#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game on X11 under the window managers of GNOME (mutter --x11) and KDE (kwin_x11), in the
# test's own Xvfb, as the design draws each window:
#  - the record window's client area is the design's 153 x 74, inside the game's caption and
#    its 1-pixel edge (155 x 94 in all), and the keys typed after a click on the disabled main
#    window reach it;
#  - the message box "Effacer le Top Score ?" gets no frame from the window manager (no
#    minimise or maximise box): its frame extents are zero;
#  - the version history's caption shows the game's icon.
# Skipped (status 77) with the window manager's own words only where it cannot start.
# Usage: x11_desktop.sh <gnome|kde> <vorlin binary> <resource folder> <artifact folder>
set -euo pipefail
desktop=$1
bin=$(readlink -f "$2") rsc=$(readlink -f "$3") art=$4
. "$(dirname "$0")/common.sh"
case "$desktop" in
  gnome) wm=mutter ;;
  kde) wm=kwin_x11 ;;
  *) echo "usage: $0 <gnome|kde> <vorlin> <resources> <artifacts>" >&2; exit 2 ;;
esac
e2e_wm=none
e2e_begin "x11-$desktop" $wm dbus-daemon xdotool xprop xwininfo import convert
rm -f "$art/x11-$desktop"-*.png

wmlog=$art/x11-$desktop-wm.log
exec 7< <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
read -r -t 10 bus_address <&7 && read -r -t 10 bus_pid <&7 || fail "no session bus"
exec 7<&-
pids+=($bus_pid)
if [ "$desktop" = gnome ]; then
  DBUS_SESSION_BUS_ADDRESS=$bus_address mutter --x11 --replace >"$wmlog" 2>&1 &
else
  DBUS_SESSION_BUS_ADDRESS=$bus_address kwin_x11 --replace >"$wmlog" 2>&1 &
fi
pids+=($!)
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
if ! waitfor 15 wm_running; then
  echo "SKIP: $wm could not start here: $(tail -3 "$wmlog" | tr '\n' ' ')"
  exit 77
fi

find_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
has_window() { [ -n "$(find_window "$1")" ]; }
# The size of the client window itself (a window manager may wrap it in a frame of its own).
size_of() { xwininfo -id "$1" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}'; }
(cd "$work" && HOME="$work" SDL_AUDIODRIVER=dummy exec "$bin") >"$art/x11-$desktop-vorlin.log" 2>&1 &
gamepid=$!
pids+=($gamepid)
# "x y" of a window's top-left corner on the screen.
origin_of() { xdotool getwindowgeometry "$1" | sed -nE 's/.*Position: ([0-9]+),([0-9]+).*/\1 \2/p'; }
waitfor 30 has_window '^Vorlin' || fail "no main window"
main=$(find_window '^Vorlin')
sleep 1
read -r mx my < <(origin_of "$main")
xdotool mousemove $((mx + 250)) $((my + 250)) click 1
sleep 0.3

# ---- the record window: its size, and the keys after a click on the main window --------------
xdotool key alt+j
sleep 0.5
xdotool key n
waitfor 3 eval '[[ "$(xdotool getwindowname "$main")" == *"Top Score"* ]]' || fail "no one-player title"
# Start has the focus: the space bar presses it.
xdotool key space
waitfor 20 has_window 'RECORD !' || fail "no record window"
record=$(find_window 'RECORD !')
[ "$(size_of "$record")" = 155x94 ] || fail "the record window is $(size_of "$record"), not 153 x 74 inside a caption and an edge"
xdotool mousemove $((mx + 250)) $((my + 300)) click 1
sleep 0.5
xdotool type --delay 80 abc
xdotool key Return
shot record
waitfor 5 eval '[[ "$(xdotool getwindowname "$main")" == *"Abc"* ]]' ||
  fail "the initials typed after a click on the main window did not reach the record window"
say "record window 155 x 94, initials taken after a click on the main window"

# ---- the message box: no frame from the window manager ------------------------------------------
xdotool mousemove $((mx + 250)) $((my + 250)) click 1
sleep 0.3
xdotool key alt+j
sleep 0.5
xdotool key e
# The box's title is the game's name; the main window's now carries the top score.
waitfor 5 has_window '^Vorlin$' || fail "no message box"
box=$(find_window '^Vorlin$')
sleep 0.5
shot message-box
extents=$(xprop -id "$box" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.* = //p')
[ -z "$extents" ] || [ "$extents" = "0, 0, 0, 0" ] || fail "the message box got a frame from $wm: $extents"
xdotool key Escape
say "message box without a frame from $wm"

# ---- the version history's caption shows the game's icon ----------------------------------------
sleep 0.5
xdotool mousemove $((mx + 250)) $((my + 250)) click 1
sleep 0.3
xdotool key alt+j
sleep 0.5
xdotool key Left
sleep 0.5
xdotool key p
waitfor 5 has_window 'A propos de VORLIN' || fail "no About window"
about=$(find_window 'A propos de VORLIN')
sleep 0.5
read -r ax ay < <(origin_of "$about")
# The icon in About's top area: a click opens the history.
xdotool mousemove $((ax + 1 + 8 + 16 + 20)) $((ay + 16 + 16 + 20)) click 1
waitfor 5 has_window 'Version History' || fail "no version history"
history=$(find_window 'Version History')
sleep 0.5
# The icon, 16 x 16 at the left of the 18-px caption: hardly any of the band's blue there.
import -window "$history" -crop 16x16+3+2 +repage "$art/x11-$desktop-icon.png"
blue=$(convert "$art/x11-$desktop-icon.png" -fx '(b - r > 0.2) ? 1 : 0' -format '%[fx:int(w*h*mean+0.5)]' info:)
shot history
[ "$blue" -lt 64 ] || fail "no icon in the version history's caption ($blue of 256 pixels are the band's blue)"
say "icon in the version history's caption"
echo "e2e: 1 passed, 0 failed"
