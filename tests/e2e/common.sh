# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the end-to-end scripts, after they set bin, rsc and art: the tools checked, a work
# folder with a copy of the resources, a display of our own with a window manager, and the
# helpers every script uses.

# e2e_begin <name> <tool>...: a missing tool skips the test (status 77). A script may define
# before_cleanup, run first on the way out, and set e2e_wm before the call: the window
# manager started on the display (openbox unless told; "none" for none).
e2e_begin() {
  e2e_name=$1; shift
  local wm=${e2e_wm:-openbox}
  [ "$wm" = none ] && wm=""
  for tool in Xvfb $wm "$@"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
  done
  mkdir -p "$art"
  work=$(mktemp -d)
  cp -r "$rsc" "$work/Vorlin107_rsc"
  pids=()
  trap e2e_cleanup EXIT
  start_display
}

e2e_cleanup() {
  if declare -F before_cleanup >/dev/null; then before_cleanup || true; fi
  stop_processes "${pids[@]}"
  rm -rf "$work"
}

# stop_processes <pid>...: last started first, SIGTERM to each and a wait until it is gone
# (SIGKILL after 10 s). A game saves its settings on SIGTERM: it must still have its display
# while it does, and its folder may be removed only once it has ended.
stop_processes() {
  local i j p
  for ((j = $# ; j > 0; j--)); do
    p=${!j}
    kill "$p" 2>/dev/null || true
    for ((i = 0; i < 100; i++)); do process_gone "$p" && break; sleep 0.1; done
    process_gone "$p" || kill -KILL "$p" 2>/dev/null || true
    # Reaps a child of this shell; returns at once for any other process.
    wait "$p" 2>/dev/null || true
  done
}

# shot <name>: a screenshot of the whole display, numbered in the order taken.
step=0
shot() { step=$((step + 1)); import -window root "$art/$e2e_name-$(printf %02d "$step")-$1.png"; }
say() { echo "[${SECONDS} s] $*"; }

# A process is gone when it has no /proc entry or is a zombie waiting to be reaped.
process_gone() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 0
  stat=${stat##*) }
  [ "${stat%% *}" = Z ]
}

fail() {
  echo "FAIL: $*"
  import -display "$DISPLAY" -window root "$art/$e2e_name-failure.png" 2>/dev/null || true
  exit 1
}

# A display of our own (1024 x 768 unless e2e_screen says otherwise), with a window manager
# (openbox unless e2e_wm says otherwise).
# Appends the servers' process ids to pids and exports DISPLAY; fails when Xvfb does not come
# up. The game goes to this display whatever desktop the test is started from: Qt's X11
# plugin is pinned (in a Wayland session Qt would pick the Wayland one and open the game on
# the desktop), and the session's Wayland variables are cleared.
start_display() {
  export QT_QPA_PLATFORM=xcb
  unset WAYLAND_DISPLAY WAYLAND_SOCKET XDG_SESSION_TYPE
  exec 5<> <(:)
  Xvfb -displayfd 5 -screen 0 "${e2e_screen:-1024x768}x24" -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  read -r -t 10 num <&5 || fail "Xvfb did not start"
  export DISPLAY=":$num"
  if [ "${e2e_wm:-openbox}" = openbox ]; then
    openbox >/dev/null 2>&1 &
    pids+=($!)
    sleep 0.5
  fi
}

# poll_every <step> <limit> <command...>: runs the command every step seconds until it holds,
# for at most limit seconds.
poll_every() {
  local step=$1 limit=$2; shift 2
  local end=$((SECONDS + limit))
  until "$@"; do
    [ $SECONDS -lt $end ] || return 1
    sleep "$step"
  done
}

# Steers the black trail of a running one-player game down, right, then down into the bottom
# edge, with the script's own screenshot on the way.
steer_into_bottom_edge() {
  xdotool key w
  sleep 0.5
  xdotool key s
  sleep 0.3
  shot running
  xdotool key w
}

# The game on Wayland, read from its WAYLAND_DEBUG log ($log, set by the script).
# toplevel <regex>: the object id of the last toplevel titled so; requests <regex>: how many
# lines of the log match.
toplevel() { sed -nE "s/.*-> xdg_toplevel@([0-9]+)\.set_title\(\"$1\"\).*/\1/p" "$log" | tail -1; }
has_toplevel() { [ -n "$(toplevel "$1")" ]; }
requests() { grep -cE "$1" "$log" || true; }

# box_of <png> <colour>: the bounding box "x y w h" of the pixels of that colour.
box_of() {
  convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%@\n' info: 2>/dev/null |
    sed -E 's/([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)/\3 \4 \1 \2/'
}

# menu_key <keys>: opens a menu of the game on Wayland, as told by the script's requests() (a
# count of lines in the game's WAYLAND_DEBUG log). A loaded machine may deliver the key's release
# before the popup's grab; the compositor then dismisses the popup at once (popup_done), and a
# player would press again: so do we, up to three times.
menu_key() {
  local popups dismissed try
  for try in 1 2 3; do
    popups=$(requests "get_popup")
    dismissed=$(requests "popup_done")
    xdotool key "$1"
    waitfor 3 eval '[ "$(requests "get_popup")" -gt "$popups" ]' || fail "no menu opened by $1"
    sleep 0.2
    [ "$(requests "popup_done")" -eq "$dismissed" ] && return 0
    say "the compositor dismissed the menu of $1 at once, try $try"
  done
  fail "the menu of $1 was dismissed three times"
}

# Polls for a condition every 0.1 s, for at most $1 seconds.
waitfor() { poll_every 0.1 "$@"; }

# A second start, as a player makes it while a game runs: run_game (the script's own) with its
# output in $1. It must end at once with status 0; ms is how long it took.
second_start() {
  local start status
  start=$(date +%s%N)
  set +e
  (run_game) >"$1" 2>&1
  status=$?
  set -e
  ms=$((($(date +%s%N) - start) / 1000000))
  echo "second start ended with $status after $ms ms"
  [ "$status" = 0 ] || fail "the second copy ended with status $status"
  [ "$ms" -lt 3000 ] || fail "the second copy took $ms ms"
}
