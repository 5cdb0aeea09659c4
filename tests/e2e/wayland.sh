#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game as a native Wayland client, where most players meet it: under weston, whose X11
# backend runs inside the test's own Xvfb so that xdotool drives a real seat (keys and
# pointer). Titles, sizes, states and ownership are read from the client's side of the
# protocol (WAYLAND_DEBUG=client); what is drawn, from screenshots.
#  - The main window shows its menus and playfield and tells its minimum size; maximised by
#    its frame's button (a real configure from the compositor), the game lives on.
#  - A one-player game steered by keys ends with the record window, owned by the disabled
#    main window and shown above it; the initials typed there are saved.
#  - Help and About: whole captions beside a close box, no other box; clicks where Qt's frame
#    had its minimise and maximise boxes and a double click on the caption maximise nothing,
#    and the game lives on.
#  - A second start ends at once and leaves the settings file as it was.
#  - Nothing but the protocol trace on standard error: no Qt warning.
# Usage: wayland.sh <vorlin binary> <resource folder> <artifact folder>
set -euo pipefail
bin=$(readlink -f "$1") rsc=$(readlink -f "$2") art=$3
. "$(dirname "$0")/common.sh"
# weston is the window manager here.
e2e_wm=none
e2e_begin wayland weston weston-debug xdotool setxkbmap import convert od md5sum
rm -f "$art"/wayland-[0-9]*.png

# ---- weston, on our display ----------------------------------------------------------------
# The keyboard layout is read from the X server when weston starts.
setxkbmap us
runtime=$work/run
mkdir -m 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
socket=vorlin-e2e
# weston's window leaves a strip of the display free: the pointer waits there, outside, so that
# it enters weston's window with its first move (weston's X11 backend loses the motions of a
# pointer that was inside its window from the start).
xdotool mousemove 1015 760
weston --backend=x11-backend.so --width=1000 --height=740 --use-pixman --idle-time=0 --debug \
  --socket=$socket >"$art/wayland-weston.log" 2>&1 &
pids+=($!)
if ! waitfor 10 test -S "$runtime/$socket"; then
  echo "SKIP: weston could not start here: $(tail -3 "$art/wayland-weston.log" | tr '\n' ' ')"
  exit 77
fi

# Where weston has its pointer: the top-left corner of the cursor's picture, a hot spot away.
pointer_near() {
  local x y
  read -r x y < <(WAYLAND_DISPLAY=$socket timeout 5 weston-debug scene-graph 2>/dev/null |
    sed -nE '/^Layer 1 /,/^Layer 2 /s/.*position: \((-?[0-9]+), (-?[0-9]+)\).*/\1 \2/p' | head -1) || return 1
  [ $((x - $1)) -le 0 ] && [ $((x - $1)) -ge -32 ] && [ $((y - $2)) -le 0 ] && [ $((y - $2)) -ge -32 ]
}
# A click (or $3 clicks) at ($1, $2), once weston has the pointer there; a pointer weston
# lost track of is taken out of its window and back.
click_at() {
  for _ in 1 2 3; do
    xdotool mousemove $(($1 + 1)) "$2" mousemove "$1" "$2"
    waitfor 1 pointer_near "$1" "$2" && break
    xdotool mousemove 1015 760
    sleep 0.1
  done
  pointer_near "$1" "$2" || fail "weston's pointer did not come to ($1, $2)"
  xdotool click --repeat "${3:-1}" --delay 80 1
}

log=$art/wayland-vorlin.log
settings=$work/Vorlinini.vrl
# No sound card here: SDL's own silent output, rather than the sound library's complaints on
# standard error.
run_game() {
  SDL_AUDIODRIVER=dummy WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client HOME="$work" TMPDIR="$work" \
    exec env -u DISPLAY -C "$work" "$bin"
}
game_running() { kill -0 "$gamepid" 2>/dev/null; }
# The titles of the windows on the screen, the one in front first (weston's scene graph).
stacking() {
  WAYLAND_DISPLAY=$socket timeout 5 weston-debug scene-graph 2>/dev/null |
    sed -nE "s/.*top-level window '([^']*)'.*/\1/p"
}
# Is the window titled $1 in front of the one titled $2 (extended regexes)?
above() {
  stacking | awk -v a="$1" -v b="$2" '!ia && $0 ~ a {ia = NR} !ib && $0 ~ b {ib = NR} END {exit !(ia && ib && ia < ib)}'
}
pink='rgb(255,192,192)' grey='rgb(198,195,198)' navy='rgb(0,0,128)'

# ---- the main window -------------------------------------------------------------------------
(run_game) 2>"$log" >/dev/null &
gamepid=$!
pids+=($gamepid)
# The main window's toplevel, read in the same poll that finds it.
waitfor 30 eval 'main=$(toplevel Vorlin); [ -n "$main" ]' || fail "no main window"
snapshot() { import -window root "$art/wayland-last.png"; }
client_shown() { snapshot; [ "$(box_of "$art/wayland-last.png" "$pink" | cut -d' ' -f3)" -ge 400 ] 2>/dev/null; }
waitfor 10 client_shown || fail "the main window's client area is not on the screen"
read -r px py pw ph < <(box_of "$art/wayland-last.png" "$pink")
# The client area begins with two lines under the menu bar; the playfield at (15, 80).
cx=$px cy=$((py - 2))
read -r gx gy gw gh < <(box_of "$art/wayland-last.png" "$grey")
[ "$gx" = $((cx + 15)) ] && [ "$gy" = $((cy + 80)) ] && [ "$gw" = 470 ] && [ "$gh" = 250 ] ||
  fail "playfield at $gx,$gy ${gw}x$gh, not 470x250 at (15, 80) of the client area at $cx,$cy"
min=$(sed -nE "s/.*-> xdg_toplevel@$main\.set_min_size\(([0-9]+), ([0-9]+)\).*/\1 \2/p" "$log" | tail -1)
read -r minw minh <<<"$min"
menubar=$((minh - 151))
[ "$minw" = 331 ] && [ "$menubar" -ge 15 ] && [ "$menubar" -le 40 ] ||
  fail "minimum size told: '$min', not 331 x (151 + the menu bar)"
# A key that opens a menu, then the wait for the menu to show.
menu_key alt+j
shot menu
xdotool key Escape Escape
say "main window: client area at $cx,$cy, menu bar $menubar px, minimum ${minw}x$minh"

# ---- a one-player game steered by keys, and the record window -----------------------------------
menu_key alt+j
xdotool key n
waitfor 3 has_toplevel 'Vorlin +Top Score.*' || fail "no one-player title"
# Start: the button sits in the score panel at client (95 + 169, 8 + 16), 105 x 41.
click_at $((cx + 95 + 169 + 52)) $((cy + 8 + 16 + 20))
pixel() {
  convert "$art/wayland-last.png" -format "%[fx:int(255*p{$1,$2}.r+0.5)],%[fx:int(255*p{$1,$2}.g+0.5)],%[fx:int(255*p{$1,$2}.b+0.5)]" info:
}
# The first step lands 10 px right of the black start place.
band_drawn() { snapshot; [ "$(pixel $((gx + 95 + 10)) $((gy + 125)))" = "0,0,0" ]; }
waitfor 10 band_drawn || fail "no black band on the playfield"
steer_into_bottom_edge
waitfor 20 has_toplevel ' +Vorlin +RECORD !' || fail "no record window"
record=$(toplevel ' +Vorlin +RECORD !')
grep -qE -- "-> xdg_toplevel@$record\.set_parent\(xdg_toplevel@$main\)" "$log" ||
  fail "the record window is not owned by the main window"
caption_shown() { snapshot; [ -n "$(box_of "$art/wayland-last.png" "$navy")" ]; }
waitfor 5 caption_shown || fail "the record window's caption is not on the screen"
# A click on the disabled main window leaves the record window in front.
click_at $((gx + 200)) $((gy + 50))
sleep 0.3
above 'RECORD' '^Vorlin' || fail "the record window is not above the main window: $(stacking | tr '\n' '|')"
shot record
xdotool type --delay 50 abc
xdotool key Return
waitfor 5 has_toplevel 'Vorlin +Top Score :     Abc .*' || fail "no top score 'Abc' in the title"
say "one-player game, record window owned by the main window, initials taken"

# ---- Help and About: whole captions, nothing maximises them -------------------------------------
# Opens the window of the ? menu's item $2, titled $1, and asks it to maximise every way its
# caption offers: where Qt's frame had minimise and maximise, and a double click.
# The place "x y w h" of the window whose title begins with $1, from weston's scene graph.
window_box() {
  WAYLAND_DISPLAY=$socket timeout 5 weston-debug scene-graph 2>/dev/null |
    awk -v t="window '$1" '/top-level window/ {hit = index($0, t) > 0}
      hit && /position:/ {gsub(/[(),]/, " "); print $2, $3, $5 - $2, $6 - $3; exit}'
}
# The light pixels (the title) of the caption band $1 ("w h x y") of the last snapshot, as
# "x y w h" within the band; nothing when there are none.
title_text() {
  convert "$art/wayland-last.png" -crop "$1" +repage -colorspace gray -threshold 75% \
    -format '%@\n' info: 2>/dev/null | sed -nE 's/^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$/\3 \4 \1 \2/p'
}

check_fixed() {
  local title=$1 key=$2 id x y width height
  # The keyboard to the main window: a click on its menu bar, right of the menus.
  click_at $((cx + 400)) $((cy - menubar / 2))
  menu_key alt+j
  menu_key Left
  xdotool key "$key"
  waitfor 5 has_toplevel "$title" || fail "no window '$title'"
  id=$(toplevel "$title")
  waitfor 5 eval '[ -n "$(window_box "${title%% *}")" ]' || fail "'$title' is not on the screen"
  read -r x y width height < <(window_box "${title%% *}")
  # A tool window's small caption, 15 px inside the 1-px edge, ends with the close box 2 px
  # from its right end: the title must end clear of it, not be cut at it.
  local h=15 box=$(((15 - 4) + (15 - 4) / 8))
  local band="$((width - 4 - box))x$h+$((x + 1))+$((y + 1))" tx tw
  text_drawn() { snapshot; [ -n "$(title_text "$band")" ]; }
  waitfor 5 text_drawn || fail "'$title' shows no caption"
  read -r tx _ tw _ < <(title_text "$band")
  [ $((tx + tw)) -le $((width - 4 - box - 5)) ] ||
    fail "the caption of '$title' is cut: text ends at $((tx + tw)) of $((width - 4 - box))"
  shot "$key-caption"
  for offset in 40 63; do
    click_at $((x + width - offset)) $((y + 1 + h / 2))
    sleep 0.3
  done
  click_at $((x + width / 3)) $((y + 1 + h / 2)) 2
  sleep 0.5
  game_running || fail "the game died after a maximise asked of '$title'"
  [ "$key" = a ] || above "$title" '^Vorlin' || fail "'$title' is not above the main window: $(stacking | tr '\n' '|')"
  [ "$(requests "xdg_toplevel@$id\.set_(maximized|fullscreen)")" = 0 ] || fail "'$title' asked to be maximised"
  shot "$key-after"
  # Its close box closes it.
  local since
  since=$(wc -l <"$log")
  click_at $((x + width - 3 - box / 2)) $((y + 1 + h / 2))
  closed() { tail -n +"$since" "$log" | grep -qE -- "-> xdg_toplevel@$id\.destroy\(\)"; }
  waitfor 5 closed || fail "the close box left '$title' open"
}
check_fixed 'Aide de VORLIN' a
check_fixed 'A propos de VORLIN \.\.\.' p
say "Help and About: whole captions, never maximised, closed by their close box"

# ---- the main window maximised by its frame's button, and back ------------------------------------
# Qt's frame: 30 px above the window, its maximise box centred 40 px left of its right edge.
frame_button() {
  snapshot
  read -r px py pw ph < <(box_of "$art/wayland-last.png" "$pink")
  click_at $((px + pw + 3 - 40)) $((py - 2 - menubar - 15))
}
client_width() { snapshot; box_of "$art/wayland-last.png" "$pink" | cut -d' ' -f3; }
frame_button
waitfor 5 eval '[ "$(client_width)" -gt 900 ]' || fail "the main window did not maximise"
grep -qE -- "-> xdg_toplevel@$main\.set_maximized\(\)" "$log" || fail "no maximise asked of the compositor"
shot main-maximised
frame_button
waitfor 5 eval '[ "$(client_width)" = 496 ]' || fail "the main window did not come back to its size"
game_running || fail "the game died after maximising its main window"
say "main window maximised and back"

# ---- a second start: ends at once, the settings untouched ----------------------------------------
before=$(md5sum "$settings" 2>/dev/null || echo absent)
second_start "$art/wayland-second.log"
! grep -q "get_toplevel" "$art/wayland-second.log" || fail "the second copy opened a window"
[ "$(md5sum "$settings" 2>/dev/null || echo absent)" = "$before" ] || fail "the second copy changed the settings"
game_running || fail "the first copy is gone"

# ---- the end: the initials saved, nothing but the protocol on standard error ----------------------
kill -TERM "$gamepid"
waitfor 10 eval '! game_running' || fail "the game did not end"
bytes=($(od -An -tu1 -v "$settings"))
[ "${bytes[9]}" = $((255 - 65)) ] && [ "${bytes[13]}" = $((98 + 100)) ] && [ "${bytes[17]}" = $((99 + 99)) ] ||
  fail "initials not saved as Abc: ${bytes[*]}"
# Qt 6.4's Wayland plugin itself, now and then on a loaded machine, when a window is closed with
# a frame callback in flight (seen once in 17 runs at load 6): a mutex of its own freed while
# held. Nothing of the game's, which goes on. Anything else on standard error fails the test.
qt64_teardown='(QMutex: destroying locked mutex|QWaitCondition::wakeAll\(\): mutex (un)?lock failure \(Invalid argument\))$'
if grep -vE '^\[ *[0-9]+\.[0-9]+\] ' "$log" "$art/wayland-second.log" | grep -vE "^[^:]*:$qt64_teardown" >"$art/wayland-stderr.log"; then
  cat "$art/wayland-stderr.log"
  fail "the game wrote to standard error"
fi
echo "e2e: 1 passed, 0 failed"
