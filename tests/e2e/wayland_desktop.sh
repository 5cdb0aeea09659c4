#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game as a native Wayland client on the desktops most players run, nested in the test's
# own Xvfb: GNOME's compositor (mutter) or KDE's (kwin_wayland, with its X11 windowed backend).
# What only a compositor with activation shows, read from the client's side of the protocol
# (WAYLAND_DEBUG=client):
#  - A second start from a dock (tests/e2e/tools/activation_token.c, $VORLIN_DOCK) that covers
#    the game: the running copy activates its main window with the dock's token, and the
#    window comes back in front of the dock with the keyboard.
#  - Help is owned by the main window (xdg_toplevel.set_parent), as About and the record are.
#  - With About open, the cursor does not change while the pointer rests over the main window
#    (About's animated cursor animates over About's top area only).
#  - A one-player game ends with the record window; a click on the disabled main window, then
#    initials typed and Enter: the initials reach the record window and the title shows them.
# Skipped (status 77) with the compositor's own words only where it cannot start.
# Usage: wayland_desktop.sh <gnome|kde> <vorlin binary> <resource folder> <artifact folder>
set -euo pipefail
desktop=$1
bin=$(readlink -f "$2") rsc=$(readlink -f "$3") art=$4
. "$(dirname "$0")/common.sh"
case "$desktop" in
  gnome) compositor=mutter ;;
  kde) compositor=kwin_wayland ;;
  *) echo "usage: $0 <gnome|kde> <vorlin> <resources> <artifacts>" >&2; exit 2 ;;
esac
# The compositor is the window manager here; its output fills the display.
e2e_wm=none e2e_screen=1280x1024
e2e_begin "wayland-$desktop" $compositor dbus-daemon xdotool setxkbmap import convert
rm -f "$art/wayland-$desktop"-*.png

setxkbmap us
# Only the dock's token, and only for the second start.
unset XDG_ACTIVATION_TOKEN DESKTOP_STARTUP_ID
runtime=$work/run
mkdir -m 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
socket=vorlin-e2e
clog=$art/wayland-$desktop-compositor.log
# A session bus of its own, as dbus-run-session gives, but with its process known: the
# compositor is then this script's child, and ends with it.
exec 7< <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
read -r -t 10 bus_address <&7 && read -r -t 10 bus_pid <&7 || fail "no session bus"
exec 7<&-
pids+=($bus_pid)
if [ "$desktop" = gnome ]; then
  DBUS_SESSION_BUS_ADDRESS=$bus_address MUTTER_DEBUG_DUMMY_MODE_SPECS=1200x960 \
    mutter --nested --wayland --no-x11 --wayland-display=$socket >"$clog" 2>&1 &
else
  # The installed kwin_wayland carries a file capability that a nested run may refuse; a
  # copy has none. KWin then uses Qt's own platform plugin for its window on our display.
  cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
  DBUS_SESSION_BUS_ADDRESS=$bus_address KWIN_FORCE_OWN_QPA=1 QT_QPA_PLATFORM=xcb "$work/kwin_wayland" \
    --x11-display "$DISPLAY" --socket $socket --width 1200 --height 960 >"$clog" 2>&1 &
fi
pids+=($!)
if ! waitfor 15 test -S "$runtime/$socket"; then
  echo "SKIP: $compositor could not start here: $(tail -3 "$clog" | tr '\n' ' ')"
  exit 77
fi
sleep 1

log=$art/wayland-$desktop-vorlin.log
run_game() {
  SDL_AUDIODRIVER=dummy WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client HOME="$work" TMPDIR="$work" \
    exec env -u DISPLAY -C "$work" ${launch_token:+XDG_ACTIVATION_TOKEN=$launch_token} "$bin"
}
pink='rgb(255,192,192)'
snapshot() { import -window root "$art/wayland-$desktop-last.png"; }

(run_game) 2>"$log" >/dev/null &
gamepid=$!
pids+=($gamepid)
# The main window's toplevel, read in the same poll that finds it.
waitfor 30 eval 'main=$(toplevel Vorlin); [ -n "$main" ]' || fail "no main window"
client_shown() { snapshot; [ "$(box_of "$art/wayland-$desktop-last.png" "$pink" | cut -d' ' -f3)" -ge 400 ] 2>/dev/null; }
waitfor 30 client_shown || fail "the main window's client area is not on the screen"
read -r px py _ _ < <(box_of "$art/wayland-$desktop-last.png" "$pink")
cx=$px cy=$((py - 2))
# The keyboard to the main window: a click on its playfield.
focus_main() { xdotool mousemove $((cx + 250)) $((cy + 200)) click 1; sleep 0.3; }
focus_main
shot main

# ---- a second start from a dock, with its token ---------------------------------------------
# The dock covers the game and takes the focus with the click it makes the token from.
if [ -n "${VORLIN_DOCK:-}" ]; then
  green='rgb(30,90,60)'
  WAYLAND_DISPLAY=$socket "$VORLIN_DOCK" org.example.Vorlin >"$work/token" 2>"$art/wayland-$desktop-dock.log" &
  dock=$!
  pids+=($dock)
  dock_shown() { ! client_shown && [ "$(box_of "$art/wayland-$desktop-last.png" "$green" | cut -d' ' -f3)" -ge 600 ] 2>/dev/null; }
  waitfor 10 dock_shown || fail "the dock did not cover the main window"
  read -r dx dy dw dh < <(box_of "$art/wayland-$desktop-last.png" "$green")
  xdotool mousemove $((dx + dw / 2)) $((dy + dh / 2)) click 1
  waitfor 5 test -s "$work/token" || fail "the dock got no token: $(cat "$art/wayland-$desktop-dock.log")"
  token=$(head -1 "$work/token")
  main_xdg=$(sed -nE "s/.*-> xdg_surface@([0-9]+)\.get_toplevel\(new id xdg_toplevel@$main\).*/\1/p" "$log" | tail -1)
  surface=$(sed -nE "s/.*-> xdg_wm_base@[0-9]+\.get_xdg_surface\(new id xdg_surface@$main_xdg, wl_surface@([0-9]+)\).*/\1/p" "$log" | tail -1)
  since=$(($(wc -l <"$log") + 1))
  launch_token=$token second_start "$art/wayland-$desktop-second.log"
  # What the running copy said and heard since.
  after() { tail -n +"$since" "$log" >"$work/since"; grep -q"$1" -- "$2" "$work/since"; }
  activated() { after F ".activate(\"$token\", wl_surface@$surface)"; }
  waitfor 5 activated || fail "the running copy did not activate its main window with the dock's token"
  keyboard_back() { after E "wl_keyboard@[0-9]+\.enter\([0-9]+, wl_surface@$surface,"; }
  waitfor 5 keyboard_back || fail "the main window did not get the keyboard back"
  waitfor 10 client_shown || fail "the main window did not come in front of the dock"
  shot token
  stop_processes $dock
  say "a second start with the dock's token brought the main window to the front"
else
  echo "NOTE: no dock built (Wayland's protocol files missing): no second start with a token"
fi

# ---- Help, owned by the main window --------------------------------------------------------
xdotool key F1
waitfor 5 has_toplevel 'Aide de VORLIN' || fail "no Help window"
help=$(toplevel 'Aide de VORLIN')
owned() { grep -qE -- "-> xdg_toplevel@$help\.set_parent\(xdg_toplevel@$main\)" "$log"; }
waitfor 3 owned || fail "Help (xdg_toplevel@$help) is not owned by the main window (xdg_toplevel@$main)"
sleep 0.5
shot help
xdotool key alt+F4
waitfor 5 eval 'grep -qE -- "-> xdg_toplevel@$help\.destroy\(\)" "$log"' || fail "Help did not close"
say "Help owned by the main window"

# ---- About's cursor stays over About --------------------------------------------------------
# The "?" menu's first item. Each nested compositor loses the pointer after one way of using
# a menu: mutter after a popup closed by a click, KWin after one opened from another by a key.
focus_main
if [ "$desktop" = gnome ]; then
  menu_key alt+j
  menu_key Left
  shot menu
  xdotool key p
else
  before=$(requests "get_popup")
  xdotool mousemove $((cx + 106)) $((cy - 9)) click 1
  waitfor 3 eval '[ "$(requests "get_popup")" -gt "$before" ]' || fail "the ? menu did not open"
  sleep 0.3
  shot menu
  xdotool mousemove $((cx + 146)) $((cy + 12)) click 1
fi
waitfor 5 has_toplevel 'A propos de VORLIN \.\.\.' || fail "no About window"
about=$(toplevel 'A propos de VORLIN \.\.\.')
# The pointer rests over the main window, disabled under About: Qt 6.4 showed each new frame
# of About's animated cursor there. The cursor's pictures go to the cursor surface named by
# wl_pointer.set_cursor: nothing may reach it while the pointer rests over the main window.
cursor_updates() {
  local surface
  surface=$(grep -oE "wl_pointer@[0-9]+\.set_cursor\([0-9]+, wl_surface@[0-9]+" "$log" | tail -1 | sed 's/.*@//')
  tail -n +"$1" "$log" | grep -cE "(-> wl_surface@$surface\.attach|wl_pointer@[0-9]+\.set_cursor)" || true
}
sleep 1
xdotool mousemove $((cx + 30)) $((cy + 300))
sleep 0.3
xdotool mousemove $((cx + 32)) $((cy + 302))
sleep 0.5
since=$(wc -l <"$log")
sleep 3
shot about
[ "$(cursor_updates "$since")" = 0 ] ||
  fail "the cursor changed $(cursor_updates "$since") times with the pointer resting over the main window"
xdotool key alt+F4
waitfor 5 eval 'grep -qE -- "-> xdg_toplevel@$about\.destroy\(\)" "$log"' || fail "About did not close"
say "About's cursor left alone over the main window"

# ---- the record window keeps the keyboard after a click on the main window -------------------
focus_main
menu_key alt+j
xdotool key n
waitfor 3 has_toplevel 'Vorlin +Top Score.*' || fail "no one-player title"
xdotool mousemove $((cx + 95 + 169 + 52)) $((cy + 8 + 16 + 20)) click 1
# The black trail runs right into the edge: 37 steps.
waitfor 20 has_toplevel ' +Vorlin +RECORD !' || fail "no record window"
sleep 1
xdotool mousemove $((cx + 250)) $((cy + 300)) click 1
sleep 0.5
xdotool type --delay 80 abc
xdotool key Return
shot record-typed
waitfor 5 has_toplevel 'Vorlin +Top Score :     Abc .*' ||
  fail "the initials typed after a click on the main window did not reach the record window"
say "initials typed after a click on the disabled main window reached the record window"
echo "e2e: 1 passed, 0 failed"
