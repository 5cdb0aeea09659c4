#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Owned windows, keyboard layouts and the saved size, from the outside: the real binary under
# Xvfb with openbox, driven by xdotool, checked from the stacking order, window properties,
# screenshots and the settings file.
#  - The record window and About stay above the main window when it is clicked, are transient
#    for it, and its close box does nothing while they are open; the score is not greyed.
#  - The black trail turns up with the key of the letter Z on fr, us and de, and with the same
#    physical key on ru, gr and il, which type no Latin letter; on gr and il the key at the
#    place of Q turns it left, though it types punctuation there.
#  - Escape that closes a menu, and the next that leaves the menu bar, do not end the game.
#  - Minimise, maximise, restore from the task bar, minimise and close save the last normal
#    size.
# Usage: windows.sh <vorlin binary> <resource folder> <artifact folder>
set -euo pipefail
bin=$(readlink -f "$1") rsc=$(readlink -f "$2") art=$3
. "$(dirname "$0")/common.sh"
before_cleanup() { [ -n "${DISPLAY:-}" ] && setxkbmap us 2>/dev/null; }
e2e_begin windows wmctrl xdotool xprop xwininfo setxkbmap import convert od
rm -f "$art"/windows-*.png

find_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
has_window() { [ -n "$(find_window "$1")" ]; }
title() { xdotool getwindowname "$1"; }
hex() { printf '0x%x' "$1"; }
snap() { import -window "$wid" "$art/windows-last.png"; }
# Pixel colour at (x, y) of the last snapshot of the game window, as "r,g,b".
pixel() {
  convert "$art/windows-last.png" \
    -format "%[fx:int(255*p{$1,$2}.r+0.5)],%[fx:int(255*p{$1,$2}.g+0.5)],%[fx:int(255*p{$1,$2}.b+0.5)]" info:
}
# Black pixels in a w x h + x + y crop of the last snapshot.
black_in() {
  convert "$art/windows-last.png" -crop "$1" +repage -fill white +opaque black -fill black -opaque black \
    -format '%[fx:int(w*h*(1-mean)+0.5)]' info:
}
game_running() { kill -0 "$gamepid" 2>/dev/null; }

# Is window $1 above window $2 in the window manager's stacking order (bottom to top)?
above() {
  local order i=0 a=-1 b=-1
  order=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
  for w in $order; do
    [ $((w)) = "$1" ] && a=$i
    [ $((w)) = "$2" ] && b=$i
    i=$((i + 1))
  done
  [ $a -ge 0 ] && [ $b -ge 0 ] && [ $a -gt $b ]
}
owner_of() { xprop -id "$1" WM_TRANSIENT_FOR 2>/dev/null | sed -n 's/.*# //p'; }

# A click on the Start button and one on the playfield of the main window.
click_main() {
  xdotool mousemove --window "$wid" $bx $by click 1
  sleep 0.3
  xdotool mousemove --window "$wid" 300 $((menu + 80 + 60)) click 1
  sleep 0.5
}

# The window $2 (named $1 in messages, found by the title pattern $3) stays over the main
# window and owned by it, and the main window's close box does nothing while it is open.
check_owned() {
  local name=$1 dlg=$2 pattern=$3
  click_main
  above "$dlg" "$wid" || fail "$name is not above the main window after clicks on it: $(xprop -root _NET_CLIENT_LIST_STACKING)"
  [ "$(owner_of "$dlg")" = "$(hex "$wid")" ] || fail "$name is transient for '$(owner_of "$dlg")', not $(hex "$wid")"
  # The focus goes back to the window that disabled the main one.
  active_is() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
  waitfor 3 active_is "$dlg" || fail "$name lost the focus to the disabled main window"
  shot "$name-over-main"
  wmctrl -i -c "$wid"
  sleep 1
  game_running || fail "closing the main window ended the game while $name was open"
  has_window "^Vorlin" && [ -n "$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null)" ] ||
    fail "closing the main window closed a window while $name was open"
  above "$dlg" "$wid" || fail "$name is not above the main window after its close box"
}

# Grey where the first step right of the start place lands means a fresh playfield; black
# there means the new trail runs.
field_clear() { snap; [ "$(pixel $((15 + 95 + 10)) $((menu + 80 + 125)))" = "198,195,198" ]; }
band_drawn() { snap; [ "$(pixel $((15 + 95 + 10)) $((menu + 80 + 125)))" = "0,0,0" ]; }
# At least half a dot of black above the start row, clear of the start row's own dots. The
# snapshot holds whatever covers the window, so it counts only if no record window (the end of
# a trail that ran straight on) was open when it was taken.
turned_up() {
  snap
  local n
  n=$(black_in "470x116+15+$((menu + 80))")
  ! has_window RECORD && [ "$n" -ge 40 ]
}
button() { snap; convert "$art/windows-last.png" -crop 105x41+264+$((menu + 24)) +repage -format '%#' info:; }
idle() { [ "$(button)" = "$idle_button" ]; }
# After a crash: the game is idle again, with a record entered if the score made one.
finish_game() {
  local end=$((SECONDS + 15))
  until idle; do
    if has_window RECORD; then
      local rec
      rec=$(find_window RECORD)
      xdotool windowactivate --sync "$rec" >/dev/null 2>&1 || true
      xdotool type --delay 30 xyz
      xdotool key Return
      waitfor 5 eval '! has_window RECORD' || fail "record window still open"
    fi
    [ $SECONDS -lt $end ] || fail "the game did not come back to idle"
    sleep 0.1
  done
}
start_trail() {
  xdotool mousemove --window "$wid" $bx $by click 1 mousemove 0 0
  waitfor 5 field_clear || fail "Start did not clear the playfield"
  waitfor 10 band_drawn || fail "no black band on the playfield"
}

# ---- start, one player black ----------------------------------------------------------------
(cd "$work" && HOME="$work" TMPDIR="$work" XDG_RUNTIME_DIR="$work" exec "$bin") >"$art/windows-vorlin.log" 2>&1 &
gamepid=$!
pids+=($gamepid)
waitfor 30 has_window '^Vorlin' || fail "no game window"
wid=$(find_window '^Vorlin')
sleep 0.5
snap
menu=""
for m in $(seq 15 40); do
  if [ "$(pixel 20 $((80 + m)))" = "198,195,198" ] && [ "$(pixel 20 $((79 + m)))" != "198,195,198" ]; then
    menu=$m; break
  fi
done
[ -n "$menu" ] || fail "playfield not found at (15, 80) under the menu bar"
say "game window up, menu bar $menu px"
# The Start button sits in the score panel at client (95 + 169, 8 + 16), 105 x 41.
bx=$((95 + 169 + 52)) by=$((menu + 8 + 16 + 20))
xdotool mousemove 0 0
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
xdotool key --window "$wid" alt+j
sleep 0.3
xdotool key n
waitfor 3 sh -c "xdotool getwindowname $wid | grep -q 'Top Score'" || fail "one-player title has no top score: '$(title "$wid")'"
sleep 0.3
idle_button=$(button)

# ---- the record window over a clicked main window -------------------------------------------
start_trail
xdotool key w
waitfor 20 has_window RECORD || fail "no record window"
rec=$(find_window RECORD)
sleep 0.3
check_owned record "$rec" RECORD
# Disabled, the main window keeps its look: the new score is drawn black, not greyed.
snap
dark=$(black_in "100x45+100+$((menu + 25))")
[ "$dark" -ge 50 ] || fail "the score is greyed while the initials are typed ($dark black pixels)"
xdotool windowactivate --sync "$rec" >/dev/null 2>&1 || true
xdotool type --delay 50 abc
xdotool key Return
waitfor 5 eval '! has_window RECORD' || fail "record window still open"
case "$(title "$wid")" in *"Abc "*%) ;; *) fail "title after the record: '$(title "$wid")'" ;; esac
say "record window: above the main window, owned by it, close box ignored"

# ---- About, and the version history over it --------------------------------------------------
xdotool mousemove 0 0
finish_game
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
xdotool key --window "$wid" alt+j
sleep 0.3
xdotool key Left
sleep 0.3
xdotool key p
waitfor 5 has_window 'A propos' || fail "no About window"
about=$(find_window 'A propos')
sleep 0.3
check_owned about "$about" 'A propos'
# A click on the icon opens the version history, owned by the main window, not by About: a
# click on About brings it back in front of the history.
xdotool mousemove --window "$about" 60 45 click 1
waitfor 5 has_window 'Version History' || fail "no version history"
hist=$(find_window 'Version History')
sleep 0.3
[ "$(owner_of "$hist")" = "$(hex "$wid")" ] || fail "the version history is transient for '$(owner_of "$hist")', not the main window"
click_main
above "$hist" "$about" && above "$about" "$wid" || fail "history, About and main window out of order: $(xprop -root _NET_CLIENT_LIST_STACKING)"
shot history-over-about
xdotool mousemove --window "$about" 140 160 click 1
sleep 0.5
above "$about" "$hist" && above "$hist" "$wid" || fail "a click on About left it under the history: $(xprop -root _NET_CLIENT_LIST_STACKING)"
wmctrl -i -c "$hist"
waitfor 5 eval '! has_window "Version History"' || fail "the version history did not close"
wmctrl -i -c "$about"
waitfor 5 eval '! has_window "A propos"' || fail "About did not close"
say "About and version history: above their owners, close box of the main window ignored"

# ---- keyboard layouts: the key of Z, or the same physical key, turns the black trail up ---------
# On Greek and Hebrew the key at Q's place carries punctuation (";", "/"): it turns left all the
# same, into the corner above and left of the start place that nothing else reaches.
turned_left() {
  snap
  ! has_window RECORD && [ "$(black_in "90x116+15+$((menu + 80))")" -ge 40 ]
}
sleep 0.5
xdotool mousemove 0 0
finish_game
for layout in "fr z" "us z" "de z" "ru Cyrillic_ya" "gr Greek_zeta semicolon" "il hebrew_zain slash"; do
  set -- $layout
  setxkbmap "$1" || fail "setxkbmap $1"
  sleep 0.3
  xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
  start_trail
  xdotool key "$2" 2>/dev/null
  waitfor 5 turned_up || { shot "layout-$1"; fail "the black trail did not turn up on the $1 layout ($2)"; }
  if [ -n "${3:-}" ]; then
    xdotool key "$3" 2>/dev/null
    waitfor 5 turned_left || { shot "layout-$1-left"; fail "the black trail did not turn left on the $1 layout ($3)"; }
    shot "layout-$1"
  fi
  [ "$1" = ru ] && shot layout-ru
  say "layout $1: $2 turns the black trail up${3:+, $3 left}"
  finish_game
done
setxkbmap us

# ---- Escape that closes a menu is the menu's: the game goes on ---------------------------
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
xdotool key --window "$wid" alt+j
sleep 0.3
xdotool key Escape
sleep 0.2
xdotool key Escape
sleep 1
game_running && has_window '^Vorlin' || fail "Escape that closed the Jeux menu and left the menu bar ended the game"
say "Escape, Escape after a menu: the game goes on"

# ---- the saved size after minimise, maximise, restore, minimise and close ------------------
# Maximised by the window manager while on the task bar, then brought back and sent there
# again: the window is minimised and maximised at once when it closes, and has never been
# maximised by the game itself. The last normal size is what was on screen before.
xdotool windowsize --sync "$wid" 600 420
sleep 0.5
size_of() { xwininfo -id "$wid" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}'; }
read -r w h < <(size_of)
[ "$w" = 600 ] && [ "$h" = 420 ] || fail "the window did not take the size asked for: ${w} x ${h}"
xdotool windowminimize --sync "$wid"
sleep 0.3
wmctrl -i -r "$wid" -b add,maximized_vert,maximized_horz
sleep 0.5
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
sleep 0.5
read -r mw mh < <(size_of)
[ "$mw" -gt "$w" ] && [ "$mh" -gt "$h" ] || fail "the window did not come back maximised: ${mw} x ${mh}"
shot maximised
xdotool windowminimize --sync "$wid"
sleep 0.3
wmctrl -i -c "$wid"
waitfor 10 eval '! game_running' || fail "the game did not end on close"
[ "$(stat -c %s "$work/Vorlinini.vrl" 2>/dev/null)" = 22 ] || fail "no 22-byte settings file"
read -r ch oh cw ow < <(od -An -td2 -v -N8 "$work/Vorlinini.vrl")
say "normal ${w} x ${h}, maximised ${mw} x ${mh}; saved client ${cw} x ${ch}, outer ${ow} x ${oh} twips"
[ "$cw" -gt 330 ] && [ "$ch" -gt 150 ] && [ "$ow" -gt 0 ] && [ "$oh" -gt 0 ] ||
  fail "saved a nonsense size: client ${cw} x ${ch}, outer ${ow} x ${oh} twips"
[ "$cw" = "$w" ] && [ "$((ch + menu))" = "$h" ] ||
  fail "saved client ${cw} x ${ch}, the last normal window was ${w} x ${h} with a ${menu} px menu bar"
echo "e2e: 1 passed, 0 failed"
