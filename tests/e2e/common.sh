# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the end-to-end scripts, after they set bin, rsc and art: the tools checked, a work
# folder with a copy of the resources, a display of our own with a window manager, and the
# helpers every script uses.

# e2e_begin <name> <tool>...: a missing tool skips the test (status 77). A script may define
# before_cleanup, run first on the way out.
e2e_begin() {
  e2e_name=$1; shift
  for tool in Xvfb openbox "$@"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
  done
  # The unit tests run offscreen; these need the real window system.
  unset QT_QPA_PLATFORM
  mkdir -p "$art"
  work=$(mktemp -d)
  cp -r "$rsc" "$work/Vorlin107_rsc"
  pids=()
  trap e2e_cleanup EXIT
  start_display
}

e2e_cleanup() {
  if declare -F before_cleanup >/dev/null; then before_cleanup || true; fi
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}

fail() {
  echo "FAIL: $*"
  import -display "$DISPLAY" -window root "$art/$e2e_name-failure.png" 2>/dev/null || true
  exit 1
}

# A display of our own, with a window manager. Appends the servers' process ids to pids and
# exports DISPLAY; fails when Xvfb does not come up.
start_display() {
  exec 5<> <(:)
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  read -r -t 10 num <&5 || fail "Xvfb did not start"
  export DISPLAY=":$num"
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 0.5
}

# Polls for a condition, for at most $1 seconds.
waitfor() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@"; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.1
  done
}
